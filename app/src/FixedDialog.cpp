#include "app/FixedDialog.h"

#include <QKeyEvent>
#include <QWindow>

#include "app/CentreWindow.h"

namespace flinder {

void KeepTitleBarFixed(QWidget* window) {
  // Qt's X11 platform reads the property whenever it sets the window's
  // type: when it makes the native window and at every change of flags.
  constexpr int ToolbarType = 0x08;
  window->setAttribute(Qt::WA_NativeWindow);
  window->windowHandle()->setProperty("_q_xcb_wm_window_type", ToolbarType);
}

FixedDialog::FixedDialog(QWidget* owner, Qt::WindowFlags flags, bool onScreen)
    : QDialog(owner, flags), onScreen_(onScreen) {
  if (!flags.testFlag(Qt::FramelessWindowHint)) KeepTitleBarFixed(this);
}

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
