#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/AnimationExport.h"
#include "files/ReplacementFile.h"

namespace flinder {

// The export's output file, written as the encoder's bytes come and put in
// place only by Commit: an export that ends otherwise leaves the old file
// whole and no temporary file behind. A picture can be made again, so it is
// not flushed to the disk.
class AnimationExport::Output {
 public:
  explicit Output(const std::string& path) : file_(path, false) {}

  // Empty when the file can be written, otherwise why not.
  std::string Open() { return file_.Open(); }
  // False once a write has failed; Commit then says why.
  bool Write(std::string_view bytes) {
    written_ += bytes.size();
    return file_.Write(bytes);
  }
  std::string Commit() { return file_.Commit(); }
  std::uintmax_t BytesWritten() const { return written_; }

 private:
  ReplacementFile file_;
  std::uintmax_t written_ = 0;
};

}  // namespace flinder
