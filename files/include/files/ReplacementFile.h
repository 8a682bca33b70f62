#pragma once

#include <string>
#include <string_view>

#include "files/FileAccess.h"
#include "files/Result.h"

namespace flinder {

// A file given new content the way ReplaceFile gives it, written piece by
// piece as the content is made: the pieces go to a temporary file beside it,
// which Commit puts in its place. Where no temporary file can take its place
// (a folder the user may not write, or a sticky folder and another user's
// file) the pieces are kept until Commit, which reserves the whole new size
// in the file before writing over it, so a full disk or a size limit leaves
// the old content whole. A FIFO or a device takes the pieces as they come.
// Until Commit the old file is whole, and a replacement that is never
// committed leaves nothing behind.
class ReplacementFile {
 public:
  explicit ReplacementFile(std::string path, bool flush = true);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Succeeds when the content can be written.
  Result<> Open();
  // False once a write has failed; Commit then gives the reason.
  bool Write(std::string_view bytes);
  // Puts the content in place.
  Result<> Commit();

 private:
  enum class Way { Replace, InPlace, Stream };

  Failure Discard(Failure why);
  Result<> OpenInPlace(const std::string& path, Way way);
  Result<> CommitInPlace();

  std::string path_;
  bool flush_;
  int fd_ = -1;
  Way way_ = Way::Replace;
  std::string temporary_, target_, folder_;
  std::string pending_;  // the content written in place at Commit
  Result<> written_;     // the first write's failure
};

}  // namespace flinder
