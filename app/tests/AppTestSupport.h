#pragma once

#include <QPoint>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "app/PlatformDialogs.h"
#include "app/frmMain.h"
#include "support/TestFolders.h"

namespace flinder {

// Dialogs answered by the test: colours from a queue (nothing = cancel),
// messages collected.
class ScriptedDialogs : public PlatformDialogs {
 public:
  std::deque<std::optional<ColourValue>> ColourAnswers;
  std::vector<ColourValue> ColourDialogOpenedOn;
  QStringList Messages;
  QWidget* LastMessageParent = nullptr;
  QStringList Questions;
  bool AnswerYes = true;
  // Save dialog answers (nothing = cancel), the file type chosen with them
  // (-1: the one it opened on), and how each dialog opened.
  std::deque<std::optional<QString>> SaveAnswers;
  int SaveTypeAnswer = -1;
  QStringList SaveDialogsOpenedOn;  // "title | type;;type | selected type | file"
  std::deque<std::optional<CaptionFont>> FontAnswers;
  std::deque<std::optional<QString>> FolderAnswers;  // nothing = cancel
  QStringList OpenedUrls;
  bool BrowserStarts = true;
  // Runs inside every message box, e.g. to try a command meanwhile.
  std::function<void()> WhileMessageShows;

  std::optional<ColourValue> PickColour(QWidget*, ColourValue current) override;
  void ShowMessage(QWidget* parent, const QString& text) override;
  bool AskYesNo(QWidget*, const QString& text) override {
    Questions << text;
    return AnswerYes;
  }
  std::optional<SaveFileChoice> AskSaveFileName(QWidget*, const QString& title,
                                                const std::vector<SaveFileType>& types,
                                                int selected, const QString& suggested) override;
  std::optional<CaptionFont> ChooseFont(QWidget*, const CaptionFont&) override;
  std::optional<QString> AskFolder(QWidget*, const QString&, const QString&) override;
  void OpenUrl(const QString& url, std::function<void()> failed) override {
    OpenedUrls << url;
    if (!BrowserStarts) failed();
  }
};

// A main window started on a design file in a scratch folder.
class StartedWindow {
 public:
  // `designFile` is written first unless it is empty; `start` false leaves
  // the window built but not started.
  explicit StartedWindow(const std::string& designFile = "", bool start = true);

  std::string IniFile() const { return scratch_.File("flinder.ini"); }
  std::string FileText() const { return ContentsOf(IniFile()); }
  // The scratch folder's file `name`, made the save dialog's next answer.
  std::string AnswerSave(const std::string& name);
  // Starts the window (shown, then InitApplication).
  void Start();

  ScratchFolder scratch_{"app"};
  ScriptedDialogs Dialogs;
  std::unique_ptr<frmMain> Window;
};

// A record whose thirteen sliders sit at `position` in every slot, then
// `adjust`ed; and a design file holding the given designs made so.
ShapeSettings DesignOf(float position, const std::function<void(ShapeSettings&)>& adjust = {});
std::string DesignFileOf(const std::vector<std::string>& names, float position,
                         const std::function<void(ShapeSettings&)>& adjust = {});

// The names the design list shows, in order.
QStringList ListedNames(frmMain& window);

// Waits for the window's export to end; false after a minute.
bool ExportEnds(frmMain& window);

// Mouse helpers that send what a real mouse sends: the button that changed
// and every button held.
void Press(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held);
void Move(QWidget* widget, QPoint to, Qt::MouseButtons held);
void Release(QWidget* widget, Qt::MouseButton button, QPoint at, Qt::MouseButtons held);

// A press of `button` at the first point, moves to the others with it held
// and its release at the last.
void Drag(QWidget* widget, Qt::MouseButton button, std::initializer_list<QPoint> path);

// A click: press and release of `button`, the release at `releaseAt`.
void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint releaseAt = {5, 5});

// Types `text` into the widget one key at a time, as a keyboard would.
void Type(QWidget* widget, const QString& text);

}  // namespace flinder
