#pragma once

#include <QDialog>

namespace flinder {

// Keeps a small window's title bar to what its flags ask for, without
// minimise and maximise buttons. Openbox ignores the Motif hints Qt sets for
// that and keeps both buttons on dialog and utility windows, but not on
// toolbar windows; so on X11 the window also calls itself a toolbar, ahead
// of its own type.
void KeepTitleBarFixed(QWidget* window);

// A modal window of fixed look that only its own buttons close: Escape does
// nothing. It is centred when first shown after loading (on its owner, or
// on the screen when `onScreen`) and stays where it is left afterwards.
class FixedDialog : public QDialog {
 public:
  FixedDialog(QWidget* owner, Qt::WindowFlags flags, bool onScreen);

 protected:
  // The next show centres the window again, as after loading it anew.
  void Unplace() { placed_ = false; }
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  bool onScreen_;
  bool placed_ = false;
};

}  // namespace flinder
