#pragma once

#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace flinder {

// The small window shown while an animated GIF is written: a line of text,
// a bar that fills as the frames are done, and Cancel (or Escape), which
// stops the export. The caller shows and hides it around the export and
// makes it topmost.
class frmGIF : public QWidget {
  Q_OBJECT

 public:
  static constexpr int ClientWidth = 308;
  static constexpr int ClientHeight = 73;
  static constexpr int ButtonRowHeight = 31;  // Cancel, below the bar
  static constexpr int NoteHeight = 48;       // three lines of note

  // An owner keeps the window above the owner's window.
  explicit frmGIF(QWidget* owner = nullptr);

  // Centres the shown window on `owner`, or on the screen when there is
  // none. Only a shown window knows the size of its frame.
  void CentreOn(const QWidget* owner);
  // Fills the bar to done / total (empty when total is 0).
  void ShowProgress(int done, int total);
  // A note about the export below the bar; the window grows to hold it.
  void ShowNote(const QString& text);
  void ClearNote();

  // Called once the window has painted itself after being shown.
  std::function<void()> Painted;
  // Called when the user asks to stop the export.
  std::function<void()> Cancelled;

  QLabel* Label1;
  QLabel* lblNote;
  QWidget* picPer;
  QWidget* picVal;
  QPushButton* cmdCancel;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Cancel();
};

}  // namespace flinder
