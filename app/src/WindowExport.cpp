// The export from the window: the save dialog, then the export on a worker
// thread over a snapshot of the design, with the window busy meanwhile.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>

#include "app/ExportWorker.h"
#include "app/frmGIF.h"
#include "app/frmMain.h"
#include "design/SaveTarget.h"
#include "export/AnimationExport.h"
#include "files/FileNameParts.h"

namespace flinder {
namespace {

// A progress window that is never painted (minimised, say) must not hold
// the export back for long.
constexpr int LongestWaitForProgressMs = 250;

// The file types the save dialog offers, in this order: one a format, in
// the order of ExportFormat.
struct SaveFileFormat {
  const char* Name;  // as the progress window says it
  const char* Label;
};
constexpr SaveFileFormat SaveFileFormats[] = {
    {"GIF", "GIF89a Files (*.gif)"},
    {"WebP", "WebP Animations (*.webp)"},
    {"APNG", "APNG Animations (*.png *.apng)"},
    {"SVG", "SVG Animations (*.svg)"},
};

int SaveFileTypeOf(ExportFormat format) {
  return static_cast<int>(format);
}

ExportFormat FormatOfSaveFileType(int type) {
  return static_cast<ExportFormat>(type);
}

}  // namespace

void frmMain::ExportAnimatedGif() {
  if (export_) return;
  if (!ChooseOutputFile()) return;

  ExportRequest request;
  request.OutputFileName = OutputFileName;
  request.Format = OutputFormat;
  request.Optimise = Menus.mnuOptimise->isChecked();
  request.Loop = ExportLoop();
  request.Motion = ExportMotion();
  request.Scale = ExportScale();
  auto frames = std::make_shared<int>(0);
  ExportJob job = [request, frames](const ExportCopies& copies) mutable -> Result<> {
    AnimationExport animation(copies.Host, copies.Renderer, copies.Surface, copies.Settings);
    request.Stop = copies.Stop;
    const Result<ExportSummary> exported = animation.Run(request);
    *frames = animation.ExportFrameCount;
    if (!exported) return exported.Error();
    return {};
  };
  auto finished = [this, frames, file = OutputFileName](const ExportWorker& done) {
    // A written file holds a whole cycle, a still picture's one frame too.
    if ((!done.Renderer().CycleRunning || done.Written()) && *frames > 0)
      FrameCountChanged(std::to_string(*frames));
    if (!done.Written()) return;
    LastExportedFile = file;
    const std::string still = StillPictureReason(done.Settings());
    SetMainCaption(" GIF Flendar - " + FileTitle(LastExportedFile) +
                   (still.empty() ? "" : " (a still picture: " + still + ")"));
  };
  const QString doing = QStringLiteral("Flindering animated %1. Please wait...")
                            .arg(QLatin1String(SaveFileFormats[SaveFileTypeOf(OutputFormat)].Name));
  StartExport(doing, OutputFileName, std::move(job), std::move(finished), true);
}

void frmMain::StartExport(const QString& doing, std::string target, ExportJob job,
                          ExportDone finished, bool countsDrawing) {
  ExportHost& window = *this;
  export_ = std::make_unique<ExportWorker>(window, Settings, Renderer, picAnim->Surface,
                                           std::move(target), std::move(job));
  exportDone_ = std::move(finished);
  connect(export_.get(), &ExportWorker::Finished, this, &frmMain::ExportFinished);

  SetBusy(true);
  timAnim.stop();
  Progress->Label1->setText(doing);
  progressCountsDrawing_ = countsDrawing;
  ShowProgress();
  // The frames are drawn once the progress window shows its text.
  auto start = std::make_shared<bool>(false);
  auto startOnce = [this, start] {
    if (std::exchange(*start, true) || !export_) return;
    export_->Start();
  };
  Progress->Painted = startOnce;
  QTimer::singleShot(LongestWaitForProgressMs, this, startOnce);
}

bool frmMain::ChooseOutputFile() {
  if (!OutputFileName.empty() && !AskFileName) return true;
  if (OutputFileName.empty()) EnableSaveMenu();
  // A cancelled dialog leaves the known name as it was.
  std::optional<std::string> chosen =
      AskSaveFileName("Untitled." + std::string(FormatExtension(OutputFormat)));
  if (!chosen || chosen->empty()) return false;
  OutputFileName = *chosen;
  AskFileName = false;  // the next Save writes to the chosen file
  RepaintMainWindow();
  return true;
}

void frmMain::CancelExport() {
  if (export_) export_->Cancel();
}

void frmMain::ExportFinished() {
  Progress->Painted = nullptr;
  const std::unique_ptr<ExportWorker> done = std::move(export_);
  const ExportDone finished = std::exchange(exportDone_, nullptr);
  // The preview goes on from where the export left the rotation.
  Renderer.Angle = done->Renderer().Angle;
  Renderer.FrameNo = done->Renderer().FrameNo;
  Renderer.CycleRunning = false;
  // The picture drawn last, when it was drawn at the preview's size.
  const DrawingSurface& drawn = done->Surface();
  if (drawn.Width() == picAnim->Surface.Width() && drawn.Height() == picAnim->Surface.Height())
    picAnim->Surface = drawn;
  picAnim->update();
  // An export that ended before it could tell the window left its progress shown.
  HideProgress();
  RestoreTopmost();
  SetBusy(false);
  TimerEnabledChanged(true);
  if (finished) finished(*done);
  if (std::optional<std::string> failure = done->FailureMessage())
    Message(QString::fromStdString(*failure));
  if (closeAfterExport_) emit Ended();
}

bool frmMain::Busy() const {
  return export_ != nullptr;
}

// Everything that could change the design, the list or the output; the
// window still paints, moves, and answers Help and About.
void frmMain::SetBusy(bool busy) {
  if (busy) saveMenuEnabled_ = Menus.mnuSave->isEnabled();
  picHold->setEnabled(!busy);
  picAnim->setEnabled(!busy);
  cmbAnim->setEnabled(!busy);
  for (auto& [index, button] : cmdAdd)
    if (index != 9) button->setEnabled(!busy);
  for (QAction* item :
       {Menus.mnuSaveAs, Menus.mnuExportWeb, Menus.mnuOptimise, Menus.mnuEdit->menuAction(),
        Menus.mnuStar, Menus.mnuText, Menus.mnuShadow->menuAction(), Menus.mnuTransparent})
    item->setEnabled(!busy);
  // A closed submenu's items still answer trigger(), so they are refused themselves.
  for (QAction* item : {Menus.mnuLoopForever, Menus.mnuSmoothMotion, Menus.mnuScale->menuAction(),
                        Menus.mnuWebCopies->menuAction()})
    item->setEnabled(!busy);
  for (QAction* item : Menus.mnuScaleItems) item->setEnabled(!busy);
  for (QAction* item : Menus.mnuWebCopyItems) item->setEnabled(!busy);
  Menus.mnuSave->setEnabled(!busy && saveMenuEnabled_);
  // The Edit menu's own items are greyed out with it.
  Menus.mnuCopyPicture->setEnabled(!busy);
  Menus.mnuCopyHtml->setEnabled(!busy && !webSnippet_.empty());
  ShowUndoItems();
}

void frmMain::mnuSaveAs_Click() {
  // A cancelled Save As leaves the next Save asking when it asked before.
  const bool asked = AskFileName;
  AskFileName = true;
  RunCommand(4);
  AskFileName = AskFileName && asked;
}

// The dialog opens in the folder last saved to, on the format last chosen;
// the format the answer asks for is the one the next export writes.
std::optional<std::string> frmMain::AskSaveFileName(const std::string& suggested) {
  const QString folder = OutputFileName.empty()
                             ? QDir::currentPath()
                             : QFileInfo(QString::fromStdString(OutputFileName)).absolutePath();
  std::vector<SaveFileType> types;
  for (int type = 0; type < static_cast<int>(std::size(SaveFileFormats)); ++type)
    types.push_back({QLatin1String(SaveFileFormats[type].Label),
                     QLatin1String(FormatExtension(FormatOfSaveFileType(type)))});
  const std::string name = WithExtension(suggested, std::string(FormatExtension(OutputFormat)));
  std::optional<SaveFileChoice> chosen = dialogs_.AskSaveFileName(
      this, QStringLiteral("Create Animated (GIF89a)"), types, SaveFileTypeOf(OutputFormat),
      folder + "/" + QString::fromStdString(name));
  if (!chosen) return std::nullopt;
  const SaveTarget target =
      SaveTargetOf(chosen->FileName.toStdString(), FormatOfSaveFileType(chosen->Type));
  if (Result<> allowed = Designs.CheckOutput(target.FileName); !allowed) {
    Message(QString::fromStdString(allowed.Message()));
    return std::nullopt;
  }
  OutputFormat = target.Format;
  return target.FileName;
}

void frmMain::EnableSaveMenu() {
  saveMenuEnabled_ = true;
  Menus.mnuSave->setEnabled(!Busy());
}

void frmMain::RepaintMainWindow() {
  update();
}

void frmMain::ShowProgress() {
  if (Progress->isVisible()) return;
  cycleFrames_ = FramesInCycle(Settings, AnimationExport::MaxFrames);
  framesDrawn_ = framesConverted_ = framesToConvert_ = 0;
  Progress->ClearNote();
  Progress->ShowProgress(0, 1);
  Progress->show();
  SetWindowOnTop(Progress, true);
  Progress->CentreOn(nullptr);
}

void frmMain::HideProgress() {
  Progress->hide();
}

void frmMain::RestoreTopmost() {
  SetWindowOnTop(this, Menus.mnuOnTop->isChecked());
}

void frmMain::SetMainCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void frmMain::ShowNote(const std::string& text) {
  Progress->ShowNote(QString::fromStdString(text));
  Progress->CentreOn(nullptr);
}

Result<> frmMain::FrameDrawn(int number, const Raster&) {
  framesDrawn_ = number;
  ShowExportProgress();
  return {};
}

void frmMain::FramesConverted(int done, int total) {
  framesConverted_ = done;
  framesToConvert_ = total;
  ShowExportProgress();
}

// The bar's first half fills as the frames are drawn, the second as they are
// converted; a format that converts each frame as soon as it is drawn fills
// both together, so the bar never runs back. A web export draws the frames
// again for each scale: its bar follows the conversions of all its files.
void frmMain::ShowExportProgress() {
  if (!progressCountsDrawing_) return Progress->ShowProgress(framesConverted_, framesToConvert_);
  const int frames = framesToConvert_ > 0 ? framesToConvert_ : cycleFrames_;
  Progress->ShowProgress(std::min(framesDrawn_, frames) + framesConverted_, 2 * frames);
}

}  // namespace flinder
