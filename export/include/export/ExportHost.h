#pragma once

#include <optional>
#include <string>
#include <vector>

#include "design/ExportResult.h"
#include "render/Raster.h"

namespace flinder {

// What an export needs of the window around it: the save dialog, the
// progress window, the preview timer, the topmost state and the messages.
// The desktop program shows real windows; the exporter and the tests use
// HeadlessExportHost.
class ExportHost {
 public:
  virtual ~ExportHost() = default;

  // The save dialog, opened on `suggested`; nothing when it was cancelled.
  virtual std::optional<std::string> AskSaveFileName(const std::string& suggested) = 0;
  // A file name is known from now on: File > Save can be chosen.
  virtual void EnableSaveMenu() {}
  virtual void RepaintMainWindow() {}
  virtual void SetPreviewTimerEnabled(bool /*enabled*/) {}
  // The progress window, shown topmost for the length of the export.
  virtual void ShowProgress() {}
  virtual void HideProgress() {}
  // Gives the main window back the topmost state its menu says.
  virtual void RestoreTopmost() {}
  virtual void SetMainCaption(const std::string& /*caption*/) {}
  virtual void ShowMessage(const std::string& text) = 0;
  // One line about the export that asks nothing of the user, shown while it runs.
  virtual void ShowNote(const std::string& /*text*/) {}
  // Every frame as drawn, numbered from 1, the closing frame included. A
  // failure ends the export with its message before the output is touched.
  virtual ExportResult FrameDrawn(int /*number*/, const Raster& /*frame*/) {
    return ExportResult::Success();
  }
  // `done` of the `total` frames are converted to GIF so far.
  virtual void FramesConverted(int /*done*/, int /*total*/) {}
};

// A host without windows: the dialog answers with a fixed name (or cancels
// when there is none) and messages are collected.
class HeadlessExportHost : public ExportHost {
 public:
  std::optional<std::string> DialogAnswer;
  std::vector<std::string> Messages;
  bool PreviewTimerEnabled = true;
  bool ProgressShown = false;
  std::string MainCaption;
  std::vector<std::string> Notes;

  std::optional<std::string> AskSaveFileName(const std::string&) override { return DialogAnswer; }
  void SetPreviewTimerEnabled(bool enabled) override { PreviewTimerEnabled = enabled; }
  void ShowProgress() override { ProgressShown = true; }
  void HideProgress() override { ProgressShown = false; }
  void SetMainCaption(const std::string& caption) override { MainCaption = caption; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowNote(const std::string& text) override { Notes.push_back(text); }
};

}  // namespace flinder
