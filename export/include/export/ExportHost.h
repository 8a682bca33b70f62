#pragma once

#include <string>
#include <vector>

#include "files/Result.h"
#include "render/Raster.h"

namespace flinder {

// What an export tells the program around it while it runs: how far it is,
// and notes that ask nothing of the user. The window shows them in its
// progress window; the exporter keeps frame copies and prints the notes.
class ExportHost {
 public:
  virtual ~ExportHost() = default;

  // Every frame as drawn, numbered from 1, the closing frame included. A
  // failure ends the export with its message before the output is touched.
  virtual Result<> FrameDrawn(int /*number*/, const Raster& /*frame*/) { return {}; }
  // `done` of the `total` frames are in the file so far.
  virtual void FramesConverted(int /*done*/, int /*total*/) {}
  // One line about the export, shown while it runs.
  virtual void ShowNote(const std::string& /*text*/) {}
};

// A host that keeps the notes.
class HeadlessExportHost : public ExportHost {
 public:
  std::vector<std::string> Notes;

  void ShowNote(const std::string& text) override { Notes.push_back(text); }
};

}  // namespace flinder
