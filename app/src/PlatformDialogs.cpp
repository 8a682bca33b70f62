#include "app/PlatformDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QUrl>

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

bool QtPlatformDialogs::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                  parent);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPlatformDialogs::AskSaveFileName(QWidget* parent, const QString& title,
                                                          const QString& filter,
                                                          const QString& suggested) {
  QString chosen = QFileDialog::getSaveFileName(parent, title, suggested, filter);
  if (chosen.isEmpty()) return std::nullopt;
  return chosen;
}

std::optional<CaptionFont> QtPlatformDialogs::ChooseFont(QWidget* parent,
                                                         const CaptionFont& initial) {
  QFont font(QString::fromStdString(initial.FontName));
  font.setPointSizeF(initial.FontSize > 0 ? initial.FontSize : 8);
  font.setBold(initial.FontBold);
  font.setItalic(initial.FontItalic);
  font.setUnderline(initial.FontUnderline);
  bool accepted = false;
  const QFont chosen = QFontDialog::getFont(&accepted, font, parent);
  if (!accepted) return std::nullopt;
  CaptionFont result = initial;
  result.FontName = chosen.family().toStdString();
  result.FontSize = static_cast<float>(chosen.pointSizeF());
  result.FontBold = chosen.bold();
  result.FontItalic = chosen.italic();
  result.FontUnderline = chosen.underline();
  return result;
}

bool QtPlatformDialogs::OpenUrl(const QString& url) {
  return QDesktopServices::openUrl(QUrl(url));
}

}  // namespace flinder
