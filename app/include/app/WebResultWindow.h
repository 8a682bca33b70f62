#pragma once

#include <functional>

#include "app/FixedDialog.h"

class QPlainTextEdit;
class QPushButton;

namespace flinder {

// The window after a web export: the size table of the files it wrote, to
// read and select, Copy HTML, which puts the HTML that serves them on the
// clipboard, and Close. It asks nothing, so Escape closes it too.
class WebResultWindow : public FixedDialog {
  Q_OBJECT

 public:
  // `owner` is the main window: the window is modal over it.
  explicit WebResultWindow(QWidget* owner);

  // Shows `table` (aligned plain text) at a size that holds it, as far as
  // the screen allows, and returns at once.
  void ShowTable(const QString& table);

  // Called by Copy HTML.
  std::function<void()> CopyHtml;

  QPlainTextEdit* txtSizes;
  QPushButton* cmdCopyHtml;
  QPushButton* cmdClose;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace flinder
