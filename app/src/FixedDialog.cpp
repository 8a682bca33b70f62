#include "app/FixedDialog.h"

#include <QKeyEvent>

#include "app/CentreWindow.h"

namespace flinder {

FixedDialog::FixedDialog(QWidget* owner, Qt::WindowFlags flags, bool onScreen)
    : QDialog(owner, flags), onScreen_(onScreen) {}

void FixedDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

void FixedDialog::showEvent(QShowEvent* event) {
  if (!placed_) {
    CentreWindow(this, onScreen_ ? nullptr : parentWidget());
    placed_ = true;
  }
  QDialog::showEvent(event);
}

}  // namespace flinder
