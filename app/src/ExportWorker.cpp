#include "app/ExportWorker.h"

namespace flinder {

template <typename Call>
void QueuedExportHost::Post(Call call) {
  QMetaObject::invokeMethod(context_, std::move(call), Qt::QueuedConnection);
}

std::optional<std::string> QueuedExportHost::AskSaveFileName(const std::string& suggested) {
  return window_.AskSaveFileName(suggested);
}

void QueuedExportHost::EnableSaveMenu() {
  Post([this] { window_.EnableSaveMenu(); });
}

void QueuedExportHost::RepaintMainWindow() {
  Post([this] { window_.RepaintMainWindow(); });
}

void QueuedExportHost::SetPreviewTimerEnabled(bool enabled) {
  Post([this, enabled] { window_.SetPreviewTimerEnabled(enabled); });
}

void QueuedExportHost::ShowProgress() {
  Post([this] { window_.ShowProgress(); });
}

void QueuedExportHost::HideProgress() {
  Post([this] { window_.HideProgress(); });
}

void QueuedExportHost::RestoreTopmost() {
  Post([this] { window_.RestoreTopmost(); });
}

void QueuedExportHost::SetMainCaption(const std::string& caption) {
  Post([this, caption] { window_.SetMainCaption(caption); });
}

// Kept for the window to show once the export has ended and its windows are
// as they were.
void QueuedExportHost::ShowMessage(const std::string& text) {
  Messages.push_back(text);
}

void QueuedExportHost::ShowNote(const std::string& text) {
  Post([this, text] { window_.ShowNote(text); });
}

// The window shows only how far the export is, not the frame itself.
ExportResult QueuedExportHost::FrameDrawn(int number, const Raster&) {
  Post([this, number] { window_.FrameDrawn(number, Raster()); });
  return ExportResult::Success();
}

void QueuedExportHost::FramesConverted(int done, int total) {
  Post([this, done, total] { window_.FramesConverted(done, total); });
}

ExportWorker::ExportWorker(ExportHost& window, const ShapeSettings& settings,
                           const FrameRenderer& renderer, const DrawingSurface& surface)
    : settings_(settings),
      renderer_(renderer),
      surface_(surface.OwnCopy()),
      host_(this, window),
      Exporter(host_, renderer_, surface_, settings_) {
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
      written_ = Exporter.Run().Ok;
    } catch (...) {
      failure_ = std::current_exception();
    }
  }));
  connect(thread_.get(), &QThread::finished, this, &ExportWorker::Finished);
  thread_->start();
  started_ = thread_->isRunning() || thread_->isFinished();
  if (!started_) QMetaObject::invokeMethod(this, &ExportWorker::Finished, Qt::QueuedConnection);
}

std::vector<std::string> ExportWorker::Messages() const {
  std::vector<std::string> messages = host_.Messages;
  std::string reason;
  if (!started_) reason = "no thread could be started for it";
  try {
    if (failure_) std::rethrow_exception(failure_);
  } catch (const std::exception& e) {
    reason = e.what();
  } catch (...) {
    reason = "an unknown failure";
  }
  if (!reason.empty())
    messages.push_back("Cannot write " + Exporter.OutputFileName + ": " + reason);
  return messages;
}

}  // namespace flinder
