#pragma once

#include <functional>
#include <map>

#include "app/FixedDialog.h"

class QFrame;
class QLabel;
class QPushButton;

namespace flinder {

// The About window: borderless, with the program's name, its tag line and
// a link that opens the manual. The caller shows it with exec(); OK hides
// it and the caller keeps the instance for the next time.
class frmSplash : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 337;
  static constexpr int ClientHeight = 231;

  // `linkText` is what the link shows; `openLink` (or OpenLink set later)
  // opens what it names.
  frmSplash(QWidget* owner, const QString& linkText, std::function<void()> openLink = {});

  // Index 2 (OK) hides the window.
  void cmdSplash_Click(int index);
  // The link: a left press shows it pressed (no underline); the left
  // release, wherever it happens, restores it and opens the link.
  void lblURL_MouseDown(int button);
  void lblURL_MouseUp(int button);

  std::function<void()> OpenLink;

  QFrame* Frame1;
  QLabel* Picture1;
  QLabel* Label1;
  QLabel* Label5;
  QFrame* Line1;
  QLabel* Label4;
  QLabel* lblURL;
  QFrame* Line2;
  std::map<int, QPushButton*> cmdSplash;  // by the button's index

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetLinkUnderline(bool on);
};

}  // namespace flinder
