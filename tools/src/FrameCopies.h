#pragma once

#include <ostream>
#include <string>

#include "export/ExportHost.h"
#include "image/IMGLIB1.h"

namespace flinder {

// The exporter's host: says the export's notes on `err`, and
// with a frames folder keeps every frame as drawn, as DIR/frameN.bmp (a
// 24-bit BMP) or through the image module in another format. A frame that
// cannot be kept ends the export.
class FrameCopies : public HeadlessExportHost {
 public:
  FrameCopies(std::ostream& err, std::string folder, std::string format);

  void ShowNote(const std::string& text) override;
  Result<> FrameDrawn(int number, const Raster& frame) override;

  // Removes the copies an earlier, longer export left in the folder: files
  // of this naming numbered past the last frame kept now. Others stay.
  void RemoveOlderCopies() const;

 private:
  std::ostream& err_;
  std::string folder_;
  std::string extension_;
  bool throughImageModule_;
  int kept_ = 0;
  IMGLIB1 images_;
};

}  // namespace flinder
