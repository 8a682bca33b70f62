#pragma once

#include <QWidget>
#include <functional>

namespace flinder {

// A container with a single sunken border. Its controls are placed in the
// client area inside the border, whose origin is their (0, 0).
class SunkenBox : public QWidget {
 public:
  SunkenBox(QWidget* parent, QRect geometry, QColor background);

  QWidget* Client() const { return client_; }

  // A button released over the box (not over a control on it), with the
  // position in the box's pixels.
  std::function<void(int button, QPointF position)> MouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QWidget* client_;
};

}  // namespace flinder
