#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"
#include "files/ReplacementFile.h"

namespace flinder {

// The export's output file, written as the encoder's bytes come and put in
// place only by Commit: an export that ends otherwise leaves the old file
// whole and no temporary file behind. It is opened with the first bytes, so
// that a FIFO nobody reads yet holds the export only once the frames are
// drawn. A picture can be made again, so it is not flushed to the disk.
class ExportOutput {
 public:
  explicit ExportOutput(const std::string& path) : file_(path, false) {}

  // False once the file could not be opened or a write failed; Commit then says why.
  bool Write(std::string_view bytes) {
    if (!opened_) {
      opened_ = true;
      if (Result<> opened = file_.Open(); !opened) failure_ = opened.Error();
    }
    if (failure_) return false;
    written_ += bytes.size();
    return file_.Write(bytes);
  }
  Result<> Commit() {
    if (failure_) return *failure_;
    return file_.Commit();
  }
  std::uintmax_t BytesWritten() const { return written_; }

 private:
  ReplacementFile file_;
  bool opened_ = false;
  std::optional<Failure> failure_;
  std::uintmax_t written_ = 0;
};

}  // namespace flinder
