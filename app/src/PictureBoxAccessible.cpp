#include "app/PictureBoxAccessible.h"

#include <QAccessibleWidget>

#include "app/PictureBox.h"

namespace flinder {
namespace {

// A slider's value is also a number in its range, as readers of sliders
// expect; it changes only through the slider's own keys and clicks.
class PictureBoxAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit PictureBoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface && Box()->IsSlider())
      return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QVariant currentValue() const override { return Box()->AccessibleValue().toDouble(); }
  void setCurrentValue(const QVariant&) override {}
  QVariant minimumValue() const override { return Box()->AccessibleRange().first; }
  QVariant maximumValue() const override { return Box()->AccessibleRange().second; }
  QVariant minimumStepSize() const override { return QVariant(); }

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
