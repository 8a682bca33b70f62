#pragma once

#include <QScreen>
#include <QWidget>

namespace flinder {

// Places a top-level window so that its frame is centred on its owner's
// frame, or on its screen when it has no owner.
inline void CentreWindow(QWidget* window, const QWidget* owner) {
  QRect frame = window->frameGeometry();
  frame.moveCenter(owner ? owner->frameGeometry().center() : window->screen()->geometry().center());
  window->move(frame.topLeft());
}

}  // namespace flinder
