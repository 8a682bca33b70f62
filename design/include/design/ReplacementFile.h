#pragma once

#include <string>
#include <string_view>

#include "design/FileAccess.h"

namespace flinder {

// A file given new content the way ReplaceFile gives it, written piece by
// piece as the content is made: the pieces go to a temporary file beside it
// (or to the file itself where ReplaceFile writes in place), which Commit
// puts in its place. Until then the old file is whole, and a replacement
// that is never committed leaves nothing behind.
class ReplacementFile {
 public:
  explicit ReplacementFile(std::string path, bool flush = true);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Empty when the content can be written, otherwise the reason it cannot.
  std::string Open();
  // False once a write has failed; Commit then gives the reason.
  bool Write(std::string_view bytes);
  // Puts the content in place: empty on success, otherwise the reason it failed.
  std::string Commit();

 private:
  std::string Discard(std::string why);

  std::string path_;
  bool flush_;
  int fd_ = -1;
  bool inPlace_ = false;
  std::string temporary_, target_, folder_;
  std::string failure_;
};

}  // namespace flinder
