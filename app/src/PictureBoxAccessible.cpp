#include "app/PictureBoxAccessible.h"

#include <QAccessibleWidget>

#include "app/PictureBox.h"

namespace flinder {
namespace {

class PictureBoxAccessible : public QAccessibleWidget {
 public:
  explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}

  QAccessible::Role role() const override {
    if (Box()->IsSlider()) return QAccessible::Slider;
    return Box()->focusPolicy() & Qt::TabFocus ? QAccessible::Button : QAccessible::Graphic;
  }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return Box()->AccessibleValue();
    return QAccessibleWidget::text(kind);
  }

 private:
  PictureBox* Box() const { return static_cast<PictureBox*>(widget()); }
};

QAccessibleInterface* PictureBoxInterface(const QString&, QObject* object) {
  if (auto* box = dynamic_cast<PictureBox*>(object)) return new PictureBoxAccessible(box);
  return nullptr;
}

}  // namespace

void InstallPictureBoxAccessibility() {
  QAccessible::installFactory(PictureBoxInterface);
}

}  // namespace flinder
