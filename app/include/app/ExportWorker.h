#pragma once

#include <QObject>
#include <QThread>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "design/ShapeSettings.h"
#include "export/AnimatedGifExport.h"
#include "export/ExportHost.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"

namespace flinder {

// Passes what an export tells its host on to `window`, through the event
// queue of `context`'s thread: the export may run on another thread, and
// only the window's own thread touches the windows. The save dialog, asked
// before the export runs, is answered at once; messages are kept until the
// export has ended.
class QueuedExportHost : public ExportHost {
 public:
  QueuedExportHost(QObject* context, ExportHost& window) : context_(context), window_(window) {}

  std::optional<std::string> AskSaveFileName(const std::string& suggested) override;
  void EnableSaveMenu() override;
  void RepaintMainWindow() override;
  void SetPreviewTimerEnabled(bool enabled) override;
  void ShowProgress() override;
  void HideProgress() override;
  void RestoreTopmost() override;
  void SetMainCaption(const std::string& caption) override;
  void ShowMessage(const std::string& text) override;
  void ShowNote(const std::string& text) override;
  ExportResult FrameDrawn(int number, const Raster& frame) override;
  void FramesConverted(int done, int total) override;

  std::vector<std::string> Messages;

 private:
  template <typename Call>
  void Post(Call call);

  QObject* context_;
  ExportHost& window_;
};

// One export from the window, beside it: a copy of the settings record, of
// the renderer's state and of the preview's surface, taken when it is made,
// are drawn and written on a thread of its own, so nothing the window shows
// or edits is shared with it.
class ExportWorker : public QObject {
  Q_OBJECT

 public:
  ExportWorker(ExportHost& window, const ShapeSettings& settings, const FrameRenderer& renderer,
               const DrawingSurface& surface);
  ~ExportWorker() override;

  // Starts AnimatedGifExport::Run on the worker thread; Finished follows.
  void Start();

  // After Finished: where the export left the rotation and the picture.
  const FrameRenderer& Renderer() const { return renderer_; }
  const DrawingSurface& Surface() const { return surface_; }
  // After Finished: what the export has to tell, its failure included.
  std::vector<std::string> Messages() const;
  // After Finished: true when the output file was written.
  bool Written() const { return written_; }

 signals:
  void Finished();

 private:
  ShapeSettings settings_;
  FrameRenderer renderer_;
  DrawingSurface surface_;
  QueuedExportHost host_;
  bool written_ = false;
  bool started_ = true;  // false when the thread could not start
  // What ended the export's thread instead of the export.
  std::exception_ptr failure_;

 public:
  // Made last, over the copies above; set its file and options before Start.
  AnimatedGifExport Exporter;

 private:
  std::unique_ptr<QThread> thread_;
};

}  // namespace flinder
