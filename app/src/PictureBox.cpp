#include "app/PictureBox.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "app/MouseButtons.h"
#include "app/PictureBoxAccessible.h"
#include "app/WindowLook.h"

namespace flinder {
namespace {

// The raster's colour values are red, green, blue and a zero byte in memory,
// which is RGBX8888: the image shares the pixels, no copy is made.
QImage RasterImage(const Raster& raster) {
  return QImage(reinterpret_cast<const uchar*>(raster.Pixels.data()), raster.Width, raster.Height,
                raster.Width * 4, QImage::Format_RGBX8888);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, int width, int height)
    : QWidget(parent), Surface(width, height) {
  resize(width, height);
  setAttribute(Qt::WA_OpaquePaintEvent);
  static const bool readable = (InstallPictureBoxAccessibility(), true);
  (void)readable;
}

void PictureBox::MakeButton(const QString& name) {
  button_ = true;
  setFocusPolicy(Qt::TabFocus);
  setAccessibleName(name);
}

void PictureBox::MakeSlider(const QString& name) {
  slider_ = true;
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(name);
}

void PictureBox::SetAccessibleValue(const QString& value) {
  if (value == accessibleValue_) return;
  accessibleValue_ = value;
  QAccessibleValueChangeEvent changed(this, value);
  QAccessible::updateAccessibility(&changed);
}

QImage PictureBox::Picture() const {
  if (!picture_.isNull()) return picture_.toImage();
  return RasterImage(Surface.Capture()).copy();
}

void PictureBox::SetPictureSize(int width, int height) {
  Surface.Resize(width, height);
  resize(width, height);
  update();
}

void PictureBox::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void PictureBox::SetBackColor(ColourValue colour) {
  Surface.SetBackColor(colour);
  update();
}

void PictureBox::SetBorder(bool on) {
  if (border_ == on) return;
  border_ = on;
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // A border takes the outer pixels; what the box shows moves inside it.
  const int inset = border_ ? SunkenBorderWidth : 0;
  if (border_) painter.fillRect(rect(), palette().color(QPalette::Button));
  // A button or slider that cannot be used is greyed as the style greys a
  // disabled tool button's icon; the preview keeps its colours.
  const bool greyed = !isEnabled() && (button_ || slider_);
  if (!picture_.isNull() || greyed) {
    const QPixmap shown =
        picture_.isNull() ? QPixmap::fromImage(RasterImage(Surface.Capture())) : picture_;
    QStyleOption option;
    option.initFrom(this);
    // Greyed towards the system's face, not the coloured panel behind.
    option.palette = QGuiApplication::palette();
    painter.drawPixmap(inset, inset,
                       greyed ? style()->generatedIconPixmap(QIcon::Disabled, shown, &option)
                              : shown);
  } else {
    painter.drawImage(inset, inset, RasterImage(Surface.Capture()));
  }
  if (border_) DrawSunkenBorder(painter, rect());
  if (hasFocus()) {
    // A track's thumb leaves its outer pixels free for the frame; a button's
    // frame lies inside its border. Dotted in the text colour, it shows on
    // the light track as on a button.
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(slider_ ? rect().adjusted(0, 0, -1, -1) : rect().adjusted(2, 2, -3, -3));
  }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (MouseDown) MouseDown(MouseButtonCode(event->button()), event->position());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  if (MouseMove) MouseMove(MouseButtonCode(event->buttons()), event->position());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (MouseUp) MouseUp(MouseButtonCode(event->button()), event->position());
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  if (KeyDown && KeyDown(event->key())) return;
  if (button_ && event->key() == Qt::Key_Space && MouseDown) {
    if (!event->isAutoRepeat()) MouseDown(LeftButton, rect().center());
    return;
  }
  QWidget::keyPressEvent(event);
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
  if (button_ && event->key() == Qt::Key_Space && MouseUp) {
    if (!event->isAutoRepeat()) MouseUp(LeftButton, rect().center());
    return;
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace flinder
