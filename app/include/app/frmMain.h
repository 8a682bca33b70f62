#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/ExportWorker.h"
#include "app/MainMenus.h"
#include "app/ParameterPanel.h"
#include "app/PictureBox.h"
#include "app/PlatformDialogs.h"
#include "app/SunkenBox.h"
#include "app/UndoHistory.h"
#include "design/DesignFile.h"
#include "design/ExportChoices.h"
#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "render/FrameRenderer.h"

class QComboBox;

namespace flinder {

class WebResultWindow;
struct WebExportSummary;
class frmGIF;
class frmNew;
class frmSplash;

// The main window: tool buttons, the design list, the parameter panel and
// the live preview on its backdrop. It holds the program's one settings
// record, renderer and design file, and passes every user action to them.
class frmMain : public QMainWindow,
                private SettingsObserver,
                private FrameObserver,
                private ExportHost {
  Q_OBJECT

 public:
  // Frames drawn per preview tick.
  static constexpr int FramesPerTick = 1;
  // The client area at design time, in pixels.
  static constexpr int DesignClientWidth = 481;
  static constexpr int DesignClientHeight = 314;

  explicit frmMain(PlatformDialogs& dialogs);
  ~frmMain() override;

  // Start-up: the design file at `iniFile`, the panel, the window's place
  // and topmost state, then the window shown there, the first design, the
  // timer. Help opens `manualFile`.
  // `fileProblem`, when given, says why no design file can be kept: it is
  // shown once and every change of the file is refused with it.
  void InitApplication(const std::string& iniFile, const std::string& manualFile,
                       const std::string& fileProblem = {});

  // The toggles: each flips one design switch; its menu check mark and tool
  // button follow the record.
  void ToggleStar();
  void ToggleText();
  void ToggleShapeShadow();
  void ToggleTextShadow();
  void ToggleOnTop();
  static void SetWindowOnTop(QWidget* window, bool onTop);

  // The commands of the design list, by code: 0 add, 1 save the current
  // design, 2 remove the selected one, 4 export, 5 caption font, 6 manual.
  void RunCommand(std::int16_t code);
  void AddShape();
  void ChooseCaptionFont();
  // True when the name dialog's text is no listed name, case ignored.
  bool NameIsNew() const;
  // The animation of the current design, as GIF, WebP or APNG (the Save commands).
  void ExportAnimatedGif();
  // The current design's files for a web page, in a folder the user chooses,
  // then the window with their sizes.
  void ExportForWeb();
  void OpenManual();

  void mnuSaveAs_Click();
  void mnuUpdate_Click();
  void mnuRemove_Click();
  void mnuRename_Click();
  void mnuAbout_Click();
  // The last exported file on the clipboard (its bytes and its address);
  // before any export, the preview's frame.
  void mnuCopyPicture_Click();
  // The HTML of the last web export on the clipboard, as HTML and as text.
  void mnuCopyHtml_Click();

  // Writes the window's place and topmost state to the design file.
  void SaveWindowPlacement();
  // The resize rule: the backdrop fills the window right of the panel and
  // the preview sits centred on it.
  void LayOutMainWindow();

  // Handlers of the window's controls.
  void cmdAdd_MouseDown(int index, int button);
  void cmdAdd_MouseUp(int index, int button);
  void cmbAnim_Click();
  void timAnim_Timer();
  void picAnim_MouseDown(int button, QPointF position);
  void picAnim_MouseMove(int button, QPointF position);
  void picAnim_MouseUp();
  void picPlate_MouseUp(int button, QPointF position);

  // The client area (below the menu bar), in pixels.
  QSize ClientSize() const;

  ShapeSettings Settings{this};
  UndoHistory History{Settings};
  DesignFile Designs;
  FrameRenderer Renderer{this};
  bool StartupDone = false;
  CommonDialogState dlgAnim;
  // The file the next Save writes, its format, and whether it asks for one first.
  std::string OutputFileName;
  ExportFormat OutputFormat = ExportFormat::Gif;
  bool AskFileName = false;
  // True while an export runs: what could change the design is disabled.
  bool Busy() const;
  // The File menu's export choices: how often the animation plays, its scale.
  LoopChoice ExportLoop() const;
  MotionChoice ExportMotion() const;
  int ExportScale() const;
  // The user manual.
  std::string ManualFile;
  // The file the last successful export wrote; empty before one.
  std::string LastExportedFile;

  std::map<int, PictureBox*> cmdAdd;  // by the tool button's index
  QComboBox* cmbAnim;
  SunkenBox* picHold;
  std::unique_ptr<ParameterPanel> Panel;
  SunkenBox* picPlate;
  PictureBox* picAnim;
  QTimer timAnim;
  MainMenus Menus;
  frmNew* NewDialog;
  frmSplash* Splash = nullptr;  // made by the first About
  frmGIF* Progress;
  WebResultWindow* WebResult = nullptr;  // made by the first web export

 signals:
  // The window was closed (or File > Exit chosen): the program ends.
  void Ended();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // SettingsObserver
  void ValueLabelChanged(int index, const std::string& text) override;
  void ThumbMoved(int index, float position) override;
  void TimerIntervalChanged(int milliseconds) override;
  void PreviewWidthChanged(int pixels) override;
  void PreviewHeightChanged(int pixels) override;
  void SwatchColourChanged(ColourValue colour) override;
  void TimerEnabledChanged(bool enabled) override;
  void SwitchChanged(Switch which, bool on) override;
  void SelectedSlotChanged(int slot) override;
  void CaptionChanged() override;
  // FrameObserver
  void FrameCountChanged(const std::string& text) override;
  // ExportHost
  Result<> FrameDrawn(int number, const Raster& frame) override;
  void FramesConverted(int done, int total) override;
  void ShowNote(const std::string& text) override;
  // Around an export: the file it writes, then the windows as they were.
  // ChooseOutputFile asks for the file when none is known or AskFileName is
  // set; false when the dialog was cancelled.
  bool ChooseOutputFile();
  std::optional<std::string> AskSaveFileName(const std::string& suggested);
  void EnableSaveMenu();
  void RepaintMainWindow();
  void ShowProgress();
  void HideProgress();
  void RestoreTopmost();
  void SetMainCaption(const std::string& caption);
  void CancelExport();

  // Saves the record under CurrentShape (when there is one).
  Result<> SaveCurrentShape();
  void RemoveSelectedShape();
  // Adds a name at its place in the list: alphabetical, case ignored.
  void AddToList(const QString& name);
  // Selects the list entry of the current design again.
  void ShowCurrentInList();
  // The list entry of `name`, letter case ignored; -1 when it is not listed.
  int ListEntryOf(const QString& name) const;
  // Shows the name dialog over the window and returns its answer.
  QString AskName();
  void Message(const QString& text);

  void BuildToolButtons();
  void ConnectMenus();
  void ConnectUndo();
  // Undo and Redo are usable when there is a step and the window is not busy.
  void ShowUndoItems();
  // The middle button drags the last exported file out of the preview.
  void DragExportedFile();
  void CentrePreview();
  void RestoreWindowPlace(const IniDocument& stored);
  void FillDesignList(const IniDocument& stored);
  // Sets the outer size and lays the window out for it at once.
  void ResizeOuter(int width, int height);

  // Runs `job` on a worker over copies of the design, with the window busy
  // and the progress window saying `doing`; its bar counts the frames drawn
  // and converted, or when not `countsDrawing` the conversions alone.
  // `finished` runs once the window is usable again.
  using ExportDone = std::function<void(const ExportWorker& done)>;
  void StartExport(const QString& doing, std::string target, ExportJob job, ExportDone finished,
                   bool countsDrawing);
  // The export's end on the window thread: the rotation taken back, the
  // window usable again, its messages shown.
  void ExportFinished();
  // The folder the web export's dialog opens on: the last one chosen, else
  // that of the last file exported, else the home folder.
  QString SuggestedWebFolder() const;
  void ShowWebResult(const WebExportSummary& summary);
  void SetBusy(bool busy);
  void ShowExportProgress();
  // Loop Forever, Export Scale and Web Copies, kept in the design file's [Export].
  void ConnectExportChoices();
  void ShowExportChoices(const IniDocument& stored);
  void ChooseWebCopy(int scale, bool on);
  void ShowWebScales();

  PlatformDialogs& dialogs_;
  // The count Loop Forever gives back when it is unchecked.
  int loopRepeats_ = LoopChoice::UsualRepeats;
  // How far the running export is: frames drawn, and converted of how many.
  int framesDrawn_ = 0, framesConverted_ = 0, framesToConvert_ = 0;
  std::unique_ptr<ExportWorker> export_;  // the running export
  ExportDone exportDone_;                 // what follows its end
  bool progressCountsDrawing_ = true;     // the bar counts drawn frames too
  WebScales webScales_;                   // Web Copies
  QString webFolder_;                     // the folder last chosen for a web export
  std::string webSnippet_;                // the last web export's HTML; empty before one
  int cycleFrames_ = 0;                   // frames the running export draws
  bool saveMenuEnabled_ = false;          // File > Save, kept while busy
  bool closeAfterExport_ = false;
  std::optional<QPointF> dragOutFrom_;  // where the middle button went down
};

}  // namespace flinder
