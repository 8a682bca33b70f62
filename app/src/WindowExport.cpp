// The export from the window: the save dialog, then the export on a worker
// thread over a snapshot of the design, with the window busy meanwhile.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include "app/ExportWorker.h"
#include "app/frmGIF.h"
#include "app/frmMain.h"

namespace flinder {
namespace {

// A progress window that is never painted (minimised, say) must not hold
// the export back for long.
constexpr int LongestWaitForProgressMs = 250;

}  // namespace

void frmMain::ExportAnimatedGif() {
  if (export_) return;
  // The dialog is answered on the window's own record; nothing is drawn.
  AnimatedGifExport chooser(*this, Renderer, picAnim->Surface, Settings);
  chooser.OutputFileName = OutputFileName;
  chooser.AskFileName = AskFileName;
  if (!chooser.ChooseOutputFile()) return;
  OutputFileName = chooser.OutputFileName;
  AskFileName = chooser.AskFileName;

  ExportHost& window = *this;
  auto worker = std::make_unique<ExportWorker>(window, Settings, Renderer, picAnim->Surface);
  worker->Exporter.OutputFileName = OutputFileName;
  worker->Exporter.Optimise = Menus.mnuOptimise->isChecked();
  export_ = std::move(worker);
  connect(export_.get(), &ExportWorker::Finished, this, &frmMain::ExportFinished);

  SetBusy(true);
  timAnim.stop();
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

void frmMain::ExportFinished() {
  Progress->Painted = nullptr;
  const std::unique_ptr<ExportWorker> done = std::move(export_);
  // The preview goes on from where the export left the rotation.
  Renderer.Angle = done->Renderer().Angle;
  Renderer.FrameNo = done->Renderer().FrameNo;
  Renderer.CycleRunning = false;
  if (!done->Renderer().CycleRunning && done->Exporter.ExportFrameCount > 0)
    FrameCountChanged(std::to_string(done->Exporter.ExportFrameCount));
  picAnim->Surface = done->Surface();
  picAnim->update();
  SetBusy(false);
  TimerEnabledChanged(true);
  for (const std::string& text : done->Messages()) Message(QString::fromStdString(text));
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
       {Menus.mnuSaveAs, Menus.mnuOptimise, Menus.mnuEdit->menuAction(), Menus.mnuStar,
        Menus.mnuText, Menus.mnuShadow->menuAction(), Menus.mnuTransparent})
    item->setEnabled(!busy);
  Menus.mnuSave->setEnabled(!busy && saveMenuEnabled_);
}

void frmMain::mnuSaveAs_Click() {
  // A cancelled Save As leaves the next Save asking when it asked before.
  const bool asked = AskFileName;
  AskFileName = true;
  RunCommand(4);
  AskFileName = AskFileName && asked;
}

std::optional<std::string> frmMain::AskSaveFileName(const std::string& suggested) {
  // The dialog opens in the folder last saved to.
  const QString folder = OutputFileName.empty()
                             ? QDir::currentPath()
                             : QFileInfo(QString::fromStdString(OutputFileName)).absolutePath();
  std::optional<QString> chosen = dialogs_.AskSaveFileName(
      this, QStringLiteral("Create Animated (GIF89a)"), QStringLiteral("GIF89a Files (*.gif)"),
      folder + "/" + QString::fromStdString(suggested));
  if (!chosen) return std::nullopt;
  return chosen->toStdString();
}

void frmMain::EnableSaveMenu() {
  saveMenuEnabled_ = true;
  Menus.mnuSave->setEnabled(!Busy());
}

void frmMain::RepaintMainWindow() {
  update();
}

// The export's own "timer on" comes before the window has taken back the
// rotation; the window starts the timer itself once it has.
void frmMain::SetPreviewTimerEnabled(bool enabled) {
  if (enabled && Busy()) return;
  TimerEnabledChanged(enabled);
}

void frmMain::ShowProgress() {
  if (Progress->isVisible()) return;
  cycleFrames_ = FramesInCycle(Settings, AnimatedGifExport::MaxFrames);
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

void frmMain::ShowMessage(const std::string& text) {
  Message(QString::fromStdString(text));
}

void frmMain::ShowNote(const std::string& text) {
  Progress->ShowNote(QString::fromStdString(text));
  Progress->CentreOn(nullptr);
}

// The bar's first half fills as the frames are drawn, the second as they
// are converted.
ExportResult frmMain::FrameDrawn(int number, const Raster&) {
  Progress->ShowProgress(std::min(number, cycleFrames_), 2 * cycleFrames_);
  return ExportResult::Success();
}

void frmMain::FramesConverted(int done, int total) {
  Progress->ShowProgress(total + done, 2 * total);
}

}  // namespace flinder
