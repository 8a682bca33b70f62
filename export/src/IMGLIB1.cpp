#include "export/IMGLIB1.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>
#include <system_error>

#include "design/FileAccess.h"
#include "export/BmpFile.h"
#include "export/FileNameParts.h"
#include "export/GifFrameWriter.h"

namespace flinder {

namespace {

constexpr std::array<const char*, 6> Extensions = {"jpg", "gif", "pcx", "bmp", "png", "tif"};
constexpr std::array<const char*, 6> Filters = {"JPEG (*.jpg)|*.jpg", "GIF (*.gif)|*.gif",
                                                "PCX (*.pcx)|*.pcx",  "BMP (*.bmp)|*.bmp",
                                                "PNG (*.png)|*.png",  "TIF (*.tif)|*.tif"};
constexpr const char* AnyImageFilter =
    "Images (*.jpg;*.gif;*.pcx;*.bmp;*.png;*.tif)|*.jpg;*.gif;*.pcx;*.bmp;*.png;*.tif|"
    "JPEG (*.jpg)|*.jpg|GIF (*.gif)|*.gif|PCX (*.pcx)|*.pcx|BMP (*.bmp)|*.bmp|"
    "PNG (*.png)|*.png|TIF (*.tif)|*.tif";

constexpr std::array<const char*, 6> TypeNames = {"JPEG", "GIF", "PCX", "BMP", "PNG", "TIFF"};

ExportResult WriteFailure(const std::string& path, const std::string& reason) {
  return ExportResult::Failure("Cannot write " + path + ": " + reason);
}

ExportResult WriteFile(const std::string& path, const std::string& bytes) {
  std::string error = WriteFileBytes(path, bytes);
  if (!error.empty()) return WriteFailure(path, error);
  return ExportResult::Success();
}

}  // namespace

std::string GetFileFilter(std::string& extension, int& imageType) {
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "0") {
    imageType = AnyImageType;
    return AnyImageFilter;
  }
  for (std::size_t type = 0; type < Extensions.size(); ++type) {
    if (extension == Extensions[type]) {
      imageType = static_cast<int>(type);
      return Filters[type];
    }
  }
  return {};
}

bool IMGLIB1::LoadImageFile(std::string extension) {
  auto failed = [this](std::string reason) {
    LoadError = std::move(reason);
    return false;
  };
  int imageType = JpegImage;
  GetFileFilter(extension, imageType);
  if (ImageFileName.empty()) return failed("no file name was given");
  std::string ownExtension = ExtensionOf(ImageFileName);
  if (ownExtension.empty()) return failed("the file name has no extension");
  GetFileFilter(ownExtension, imageType);
  if (imageType == AnyImageType) return failed("the file name names no image type");
  if (imageType != BmpImage)
    return failed(std::string(TypeNames[imageType]) + " files cannot be read");

  int error = 0;
  std::optional<std::string> bytes = ReadFileBytes(ImageFileName, &error);
  // Frames are read on several threads at once: no strerror.
  if (!bytes) return failed(std::generic_category().message(error));
  std::optional<Raster> picture = DecodeBmp(*bytes);
  if (!picture) return failed("not an uncompressed 24- or 32-bit BMP file, or cut short");
  Image = std::move(*picture);
  LoadError.clear();
  return true;
}

ExportResult IMGLIB1::SaveImageFile(std::string extension) {
  int imageType = JpegImage;
  GetFileFilter(extension, imageType);
  std::string ownExtension = ExtensionOf(ImageFileName);
  if (!ownExtension.empty()) {
    GetFileFilter(ownExtension, imageType);
    if (imageType == AnyImageType) return ExportResult::Failure(InvalidTypeMessage);
  } else {
    if (extension.empty()) return ExportResult::Failure(InvalidTypeMessage);
    ImageFileName += "." + extension;
  }
  if (Image.Pixels.empty()) return WriteFailure(ImageFileName, "there is no picture to write");
  if (imageType == GifImage) return WriteGif();
  if (imageType == BmpImage) return WriteBmp();
  return WriteFailure(ImageFileName,
                      std::string(TypeNames[imageType]) + " files cannot be written");
}

ExportResult IMGLIB1::WriteGif() {
  std::optional<std::string> bytes;
  try {
    if (SharedPalette) {
      bytes = EncodeGifFrame(SharedPalette->Map(Image));
    } else {
      AnimationPalette own;
      own.AddFrame(Image);
      own.Build();
      bytes = EncodeGifFrame(own.Map(Image));
    }
  } catch (const std::runtime_error& error) {
    return WriteFailure(ImageFileName, error.what());
  }
  if (!bytes) return WriteFailure(ImageFileName, "the picture cannot be encoded as GIF");
  return WriteFile(ImageFileName, *bytes);
}

ExportResult IMGLIB1::WriteBmp() {
  return WriteFile(ImageFileName, EncodeBmp(Image));
}

}  // namespace flinder
