#include "export/IMGLIB1.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

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

ExportResult WriteFile(const std::string& path, const std::string& bytes) {
  std::string error = WriteFileBytes(path, bytes);
  if (!error.empty()) return ExportResult::Failure("Cannot write " + path + ": " + error);
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
  int imageType = JpegImage;
  GetFileFilter(extension, imageType);
  std::string ownExtension = ExtensionOf(ImageFileName);
  if (ImageFileName.empty() || ownExtension.empty()) return false;
  GetFileFilter(ownExtension, imageType);
  if (imageType != BmpImage) return false;  // the only type read here

  std::optional<std::string> bytes = ReadFileBytes(ImageFileName);
  if (!bytes) return false;
  std::optional<Raster> picture = DecodeBmp(*bytes);
  if (!picture) return false;
  Image = std::move(*picture);
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
  if (Image.Pixels.empty()) return ExportResult::Failure({});
  if (imageType == GifImage) return WriteGif();
  if (imageType == BmpImage) return WriteBmp();
  return ExportResult::Failure({});  // JPEG, PCX, PNG and TIFF are not provided
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
    return ExportResult::Failure("Cannot write " + ImageFileName + ": " + error.what());
  }
  if (!bytes) return ExportResult::Failure("Cannot write " + ImageFileName + ": cannot encode GIF");
  return WriteFile(ImageFileName, *bytes);
}

ExportResult IMGLIB1::WriteBmp() {
  return WriteFile(ImageFileName, EncodeBmp(Image));
}

}  // namespace flinder
