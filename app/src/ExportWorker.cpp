#include "app/ExportWorker.h"

#include <cerrno>

namespace flinder {

template <typename Call>
void QueuedExportHost::Post(Call call) {
  QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
}

// The window shows only how far the export is, not the frame itself.
Result<> QueuedExportHost::FrameDrawn(int number, const Raster&) {
  Post([this, number] { (void)window_.FrameDrawn(number, Raster()); });
  return {};
}

void QueuedExportHost::FramesConverted(int done, int total) {
  Post([this, done, total] { window_.FramesConverted(done, total); });
}

void QueuedExportHost::ShowNote(const std::string& text) {
  Post([this, text] { window_.ShowNote(text); });
}

ExportWorker::ExportWorker(ExportHost& window, const ShapeSettings& settings,
                           const FrameRenderer& renderer, const DrawingSurface& surface,
                           std::string target, ExportJob job)
    : settings_(settings),
      renderer_(renderer),
      surface_(surface.OwnCopy()),
      host_(this, window),
      target_(std::move(target)),
      job_(std::move(job)) {
  // The copies tell no window of their changes.
  settings_.SetObserver(nullptr);
  renderer_.SetObserver(nullptr);
}

ExportWorker::~ExportWorker() {
  if (thread_) thread_->wait();
}

// Nothing may leave the thread: whatever ends it becomes the export's
// message, written once the window has the thread's end.
void ExportWorker::Start() {
  thread_.reset(QThread::create([this] {
    try {
      const Result<> exported = job_({host_, renderer_, surface_, settings_, stop_.get_token()});
      written_ = exported.Ok();
      if (!exported && exported.Error().Errno != ECANCELED) failure_ = exported.Message();
    } catch (...) {
      thrown_ = std::current_exception();
    }
  }));
  connect(thread_.get(), &QThread::finished, this, &ExportWorker::Finished);
  thread_->start();
  started_ = thread_->isRunning() || thread_->isFinished();
  if (!started_) QMetaObject::invokeMethod(this, &ExportWorker::Finished, Qt::QueuedConnection);
}

std::optional<std::string> ExportWorker::FailureMessage() const {
  std::string reason;
  if (!started_) reason = "no thread could be started for it";
  try {
    if (thrown_) std::rethrow_exception(thrown_);
  } catch (const std::exception& e) {
    reason = e.what();
  } catch (...) {
    reason = "an unknown failure";
  }
  if (!reason.empty()) return "Cannot write " + target_ + ": " + reason;
  return failure_;
}

}  // namespace flinder
