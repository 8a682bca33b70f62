#pragma once

#include <array>

#include "app/FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace flinder {

// The modal name entry dialog. It only collects text: the caller sets the
// prompt and the starting text, shows it with ShowModal() and reads txtNew's
// text afterwards; an empty text means cancelled. The caller keeps one
// instance, so the text and the OK button's state carry over between uses.
class frmNew : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 193;
  static constexpr int ClientHeight = 114;

  // `owner` is the main window: the dialog is modal over it and first
  // appears centred on it.
  explicit frmNew(QWidget* owner);

  // Shows the dialog modally; returns once OK, Cancel, Enter or the close
  // box has hidden it.
  int ShowModal() { return exec(); }

  // Index 0 (OK) hides the dialog; index 1 (Cancel) empties the text first.
  void cmdNew_Click(int index);
  // Key release in the text box: Enter accepts whatever the box holds, and
  // OK then follows whether the box holds any text.
  void txtNew_KeyUp(int key);

  QLabel* lblNew;
  QLineEdit* txtNew;
  std::array<QPushButton*, 2> cmdNew;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The state of a freshly loaded dialog.
  void Reload();

  // Enter is acted on at its release only when it was pressed here too: the
  // Enter that chose the menu item that opened the dialog is not.
  bool enterPressed_ = false;
};

}  // namespace flinder
