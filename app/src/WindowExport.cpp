// The export from the window: the save dialog, the progress window, the
// preview timer and the caption around the export pipeline.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/frmGIF.h"
#include "app/frmMain.h"
#include "design/TemporaryFolder.h"
#include "export/AnimatedGifExport.h"

namespace flinder {

void frmMain::ExportAnimatedGif() {
  // The window's events run during an export: a second one must not start.
  if (Exporting) return;
  // Frame files go to a private folder: the program's own may not be writable.
  TemporaryFolder temporary;
  if (temporary.Path().empty()) return Message(QString::fromStdString(temporary.Problem()));
  AnimatedGifExport exporter(*this, Renderer, picAnim->Surface, Settings, temporary.Path());
  exporter.OutputFileName = OutputFileName;
  exporter.AskFileName = AskFileName;
  exporter.Optimise = Menus.mnuOptimise->isChecked();
  Exporting = true;
  exporter.ExportAnimatedGif();
  Exporting = false;
  OutputFileName = exporter.OutputFileName;
  AskFileName = exporter.AskFileName;
}

void frmMain::mnuSaveAs_Click() {
  AskFileName = true;
  RunCommand(4);
  AskFileName = false;
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
  Menus.mnuSave->setEnabled(true);
}

void frmMain::RepaintMainWindow() {
  repaint();
}

void frmMain::SetPreviewTimerEnabled(bool enabled) {
  TimerEnabledChanged(enabled);
}

void frmMain::ShowProgress() {
  cycleFrames_ = FramesInCycle(Settings, AnimatedGifExport::MaxFrames);
  Progress->ClearNote();
  Progress->ShowProgress(0, 1);
  Progress->show();
  SetWindowOnTop(Progress, true);
  Progress->CentreOn(nullptr);
  Progress->repaint();
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

void frmMain::ProcessPendingEvents() {
  QCoreApplication::processEvents();
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
