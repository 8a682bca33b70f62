#include "app/SunkenBox.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/MouseButtons.h"
#include "app/WindowLook.h"

namespace flinder {

SunkenBox::SunkenBox(QWidget* parent, QRect geometry, QColor background)
    : QWidget(parent), client_(new QWidget(this)) {
  SetColour(this, QPalette::Window, background);
  setAutoFillBackground(true);
  setGeometry(geometry);
}

void SunkenBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawSunkenBorder(painter, rect());
}

void SunkenBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  client_->setGeometry(rect().adjusted(SunkenBorderWidth, SunkenBorderWidth, -SunkenBorderWidth,
                                       -SunkenBorderWidth));
}

// Taking the press makes the box receive the release.
void SunkenBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void SunkenBox::mouseReleaseEvent(QMouseEvent* event) {
  if (MouseUp) MouseUp(MouseButtonCode(event->button()), event->position());
}

}  // namespace flinder
