#pragma once

#include <QObject>
#include <QThread>
#include <exception>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>

#include "design/ShapeSettings.h"
#include "export/AnimationExport.h"
#include "export/ExportHost.h"
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

// One export from the window, beside it: a copy of the settings record, of
// the renderer's state and of the preview's surface, taken when it is made,
// are drawn and written on a thread of its own, so nothing the window shows
// or edits is shared with it.
class ExportWorker : public QObject {
  Q_OBJECT

 public:
  ExportWorker(ExportHost& window, const ShapeSettings& settings, const FrameRenderer& renderer,
               const DrawingSurface& surface, ExportRequest request);
  ~ExportWorker() override;

  // Starts the export on the worker thread; Finished follows.
  void Start();
  // Asks the export to stop at its next frame; Finished follows as ever.
  void Cancel() { stop_.request_stop(); }

  // After Finished: where the export left the rotation and the picture, and
  // the frames it drew.
  const FrameRenderer& Renderer() const { return renderer_; }
  const ShapeSettings& Settings() const { return settings_; }
  const DrawingSurface& Surface() const { return surface_; }
  int ExportFrameCount() const { return export_.ExportFrameCount; }
  const std::string& OutputFileName() const { return request_.OutputFileName; }
  // After Finished: true when the output file was written.
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
  ExportRequest request_;
  std::stop_source stop_;
  AnimationExport export_;  // over the copies above
  bool written_ = false;
  std::optional<std::string> failure_;
  bool started_ = true;  // false when the thread could not start
  // What ended the export's thread instead of the export.
  std::exception_ptr thrown_;
  std::unique_ptr<QThread> thread_;
};

}  // namespace flinder
