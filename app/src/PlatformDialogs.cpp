#include "app/PlatformDialogs.h"

#include <QColorDialog>
#include <QMessageBox>

namespace flinder {

std::optional<ColourValue> QtPlatformDialogs::PickColour(QWidget* parent, ColourValue current) {
  QColor initial(RedOf(current), GreenOf(current), BlueOf(current));
  QColor picked = QColorDialog::getColor(initial, parent);
  if (!picked.isValid()) return std::nullopt;
  return MakeColour(picked.red(), picked.green(), picked.blue());
}

void QtPlatformDialogs::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace flinder
