#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <utility>

#include "render/DrawingSurface.h"

namespace flinder {

// A picture box: shows its drawing surface pixel for pixel (or a fixed
// picture), optionally inside a single sunken border, and hands its mouse
// events to the window as button codes and positions in its own pixels. A
// release goes to the box that received the press, wherever it happens.
class PictureBox : public QWidget {
 public:
  // Button is the pressed or released button; for a move it is every
  // button held.
  using MouseHandler = std::function<void(int button, QPointF position)>;

  explicit PictureBox(QWidget* parent, int width, int height);

  DrawingSurface Surface;
  MouseHandler MouseDown, MouseMove, MouseUp;
  // A key pressed while the box has the focus; true when it was used.
  std::function<bool(int key)> KeyDown;

  // Keyboard and screen-reader use: a button takes the focus by Tab and is
  // pressed with Space as with the left button; a slider takes it also by a
  // click and shows a focus frame. Both are read out by `name`.
  void MakeButton(const QString& name);
  void MakeSlider(const QString& name);
  bool IsSlider() const { return slider_; }
  // What a screen reader reads after the name ("16" for "Sides, 16").
  QString AccessibleValue() const { return accessibleValue_; }
  void SetAccessibleValue(const QString& value);
  // A slider's lowest and highest value.
  std::pair<double, double> AccessibleRange() const { return accessibleRange_; }
  void SetAccessibleRange(double lowest, double highest) { accessibleRange_ = {lowest, highest}; }
  // What the box shows, as an image of its own.
  QImage Picture() const;

  // Sizes the box and its raster together.
  void SetPictureSize(int width, int height);
  // Shows `picture` instead of the surface (a picture button).
  void SetPicture(const QPixmap& picture);
  void SetBackColor(ColourValue colour);

  // Border style 1, a single sunken border, or 0, none.
  void SetBorder(bool on);
  bool HasBorder() const { return border_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  QPixmap picture_;
  bool border_ = false;
  bool button_ = false;
  bool slider_ = false;
  QString accessibleValue_;
  std::pair<double, double> accessibleRange_;
};

}  // namespace flinder
