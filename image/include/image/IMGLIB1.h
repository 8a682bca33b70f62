#pragma once

#include <memory>
#include <string>
#include <utility>

#include "files/Result.h"
#include "gif/AnimationPalette.h"
#include "render/Raster.h"

namespace flinder {

// Image types, as chosen by file extension.
enum ImageTypes { AnyImageType = -1, JpegImage, GifImage, PcxImage, BmpImage, PngImage, TiffImage };

// Lower-cases `extension` in place, sets `imageType` when it names one of the
// six image types (or is "0", any type) and returns the file-dialog filter
// for it; other extensions leave `imageType` alone and give an empty filter.
std::string GetFileFilter(std::string& extension, int& imageType);

// Reads and writes single pictures in six formats by file extension and
// holds the current one. Every writer but JPEG's writes 8-bit palette
// indexes: the picture's own colours when it has at most 256, otherwise 256
// chosen by the quantiser. The frames of one animation share one palette
// (UseAnimationPalette), so that their still parts stay identical; a picture
// written without one gets a palette of its own. Readers take 8-bit palette,
// grey and true-colour pictures (GIF: the first image, TIFF: the first page).
class IMGLIB1 {
 public:
  static constexpr const char* InvalidTypeMessage =
      "File Not Saved!, Please specify a valid file type.";

  // The writers' options: JPEG quality, and TIFF compression 5, LZW.
  static constexpr int JpegOptionA = 75;
  static constexpr int TiffOptionB = 5;

  // The file that the next load or save uses; a save may append an extension.
  std::string ImageFileName;

  // Reads `ImageFileName` as the current picture; `extension` is the type to
  // assume when the name's own extension is none of the six. Only a regular
  // file of at most MaxImageFileSize bytes is read. When nothing was read
  // the previous picture stays.
  Result<> LoadImageFile(std::string extension);

  // Writes the current picture to `ImageFileName` in the type of its
  // extension, or of `extension` (appended) when the name has none, as
  // ReplaceFile writes: complete or not at all. A failure carries the text
  // to show.
  Result<> SaveImageFile(std::string extension);

  const Raster& CurrentImage() const { return image_; }
  // Makes `picture` the current one, as a successful read would. Pixels
  // marked as background are kept in their colour: the files are opaque.
  void SetCurrentImage(Raster picture);

  // The palette GIF files are written with from now on; none (null) gives
  // every picture its own.
  void UseAnimationPalette(std::shared_ptr<const AnimationPalette> palette) {
    sharedPalette_ = std::move(palette);
  }

 private:
  // The current picture as a file of the type; nothing when it cannot be
  // encoded. Throws std::runtime_error when the quantiser fails.
  std::optional<std::string> Encode(int imageType) const;
  // The current picture as palette indexes.
  IndexedFrame Indexed() const;

  Raster image_;
  std::shared_ptr<const AnimationPalette> sharedPalette_;
};

}  // namespace flinder
