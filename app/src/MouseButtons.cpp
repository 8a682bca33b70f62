#include "app/MouseButtons.h"

namespace flinder {

int MouseButtonCode(Qt::MouseButtons buttons) {
  return (buttons.testFlag(Qt::LeftButton) ? 1 : 0) + (buttons.testFlag(Qt::RightButton) ? 2 : 0) +
         (buttons.testFlag(Qt::MiddleButton) ? 4 : 0);
}

}  // namespace flinder
