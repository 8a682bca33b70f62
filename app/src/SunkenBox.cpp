#include "app/SunkenBox.h"

#include <QMouseEvent>

#include "app/MouseButtons.h"
#include "app/WindowLook.h"

namespace flinder {

SunkenBox::SunkenBox(QWidget* parent, QRect geometry, QColor background)
    : QFrame(parent), client_(new QWidget(this)) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  SetColour(this, QPalette::Window, background);
  setAutoFillBackground(true);
  setGeometry(geometry);
}

void SunkenBox::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  client_->setGeometry(contentsRect());
}

// Taking the press makes the box receive the release.
void SunkenBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void SunkenBox::mouseReleaseEvent(QMouseEvent* event) {
  if (MouseUp) MouseUp(MouseButtonCode(event->button()), event->position());
}

}  // namespace flinder
