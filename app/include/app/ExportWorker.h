#pragma once

#include <QObject>
#include <QThread>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "files/Result.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"

namespace flinder {

// Passes what an export tells its host on to `window`, through the event
// queue of `context`'s thread: the export may run on another thread, and
// only the window's own thread touches the windows.
class QueuedExportHost : public ExportHost {
 public:
  QueuedExportHost(QObject* context, ExportHost& window) : context_(context), window_(window) {}

  Result<> FrameDrawn(int number, const Raster& frame) override;
  void FramesConverted(int done, int total) override;
  void ShowNote(const std::string& text) override;

 private:
  template <typename Call>
  void Post(Call call);

  QObject* context_;
  ExportHost& window_;
};

// What an export job works on, on the worker's thread: the worker's own
// copies, the host that passes news on to the window, and the cancel.
struct ExportCopies {
  ExportHost& Host;
  FrameRenderer& Renderer;
  DrawingSurface& Surface;
  const ShapeSettings& Settings;
  std::stop_token Stop;
};

// One whole export over the copies: a failure is the message for the user,
// one with Errno ECANCELED a cancel. What else the window wants of it
// afterwards the job keeps itself.
using ExportJob = std::function<Result<>(const ExportCopies& copies)>;

// One export from the window, beside it: a copy of the settings record, of
// the renderer's state and of the preview's surface, taken when it is made,
// are drawn and written on a thread of its own, so nothing the window shows
// or edits is shared with it.
class ExportWorker : public QObject {
  Q_OBJECT

 public:
  // `target` is what the export writes, as a failure of the thread names it.
  ExportWorker(ExportHost& window, const ShapeSettings& settings, const FrameRenderer& renderer,
               const DrawingSurface& surface, std::string target, ExportJob job);
  ~ExportWorker() override;

  // Starts the job on the worker thread; Finished follows.
  void Start();
  // Asks the job to stop at its next frame; Finished follows as ever.
  void Cancel() { stop_.request_stop(); }

  // After Finished: where the export left the rotation and the picture.
  const FrameRenderer& Renderer() const { return renderer_; }
  const ShapeSettings& Settings() const { return settings_; }
  const DrawingSurface& Surface() const { return surface_; }
  // After Finished: true when the job wrote what it was to write.
  bool Written() const { return written_; }
  // After Finished: why the export wrote nothing; none when it did, or
  // when the user cancelled it.
  std::optional<std::string> FailureMessage() const;

 signals:
  void Finished();

 private:
  ShapeSettings settings_;
  FrameRenderer renderer_;
  DrawingSurface surface_;
  QueuedExportHost host_;
  std::string target_;
  ExportJob job_;
  std::stop_source stop_;
  bool written_ = false;
  std::optional<std::string> failure_;
  bool started_ = true;  // false when the thread could not start
  // What ended the export's thread instead of the export.
  std::exception_ptr thrown_;
  std::unique_ptr<QThread> thread_;
};

}  // namespace flinder
