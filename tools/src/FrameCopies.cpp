#include "FrameCopies.h"

#include <unistd.h>

#include <charconv>

#include "files/FileAccess.h"
#include "files/PosixFile.h"
#include "image/BmpFile.h"

namespace flinder {

FrameCopies::FrameCopies(std::ostream& err, std::string folder, std::string format)
    : err_(err),
      folder_(std::move(folder)),
      extension_(format.empty() ? "bmp" : format),
      throughImageModule_(!format.empty()) {}

void FrameCopies::ShowNote(const std::string& text) {
  HeadlessExportHost::ShowNote(text);
  err_ << "flinder-export: " << text << "\n";
}

Result<> FrameCopies::FrameDrawn(int number, const Raster& frame) {
  if (folder_.empty()) return {};
  const std::string path = folder_ + "/frame" + std::to_string(number) + "." + extension_;
  if (throughImageModule_) {
    images_.SetCurrentImage(frame);
    images_.ImageFileName = path;
    if (Result<> saved = images_.SaveImageFile(extension_); !saved) return saved;
  } else if (Result<> written = ReplaceFile(path, EncodeBmp(frame), false); !written) {
    // Complete or absent, like the export's own output.
    return Failure{"Cannot write " + path + ": " + written.Message()};
  }
  kept_ = number;
  return {};
}

void FrameCopies::RemoveOlderCopies() const {
  if (folder_.empty()) return;
  const std::string suffix = "." + extension_;
  // Exactly "frame", a number without leading zeros and the extension.
  auto olderCopy = [&](std::string_view name) {
    if (!name.starts_with("frame") || !name.ends_with(suffix)) return false;
    const std::string_view digits = name.substr(5, name.size() - 5 - suffix.size());
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
           digits[0] != '0' && number > kept_;
  };
  ForEachEntry(folder_, olderCopy, [](const std::string& path) { ::unlink(path.c_str()); });
}

}  // namespace flinder
