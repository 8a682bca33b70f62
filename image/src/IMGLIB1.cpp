#include "image/IMGLIB1.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>
#include <system_error>

#include "files/FileAccess.h"
#include "files/FileNameParts.h"
#include "gif/GifFrameWriter.h"
#include "image/BmpFile.h"
#include "image/GifImageReader.h"
#include "image/ImageBytes.h"
#include "image/ImageLimits.h"
#include "image/JpegFile.h"
#include "image/PcxFile.h"
#include "image/PngFile.h"
#include "image/TiffFile.h"

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

Failure WriteFailure(const std::string& path, const std::string& reason) {
  return {"Cannot write " + path + ": " + reason};
}

// Complete or absent, as any output: an interrupted write leaves no part.
Result<> WriteFile(const std::string& path, const std::string& bytes) {
  if (Result<> written = ReplaceFile(path, bytes, false); !written)
    return WriteFailure(path, written.Message());
  return {};
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

Result<> IMGLIB1::LoadImageFile(std::string extension) {
  int imageType = JpegImage;
  GetFileFilter(extension, imageType);
  if (ImageFileName.empty()) return Failure{"no file name was given"};
  std::string ownExtension = ExtensionOf(ImageFileName);
  if (ownExtension.empty()) return Failure{"the file name has no extension"};
  GetFileFilter(ownExtension, imageType);
  if (imageType == AnyImageType) return Failure{"the file name names no image type"};

  // A device or a FIFO could block or never end; a huge file is not read.
  // The readers take the file a piece at a time, never whole.
  Result<ImageBytes> bytes = ImageBytes::Open(ImageFileName, MaxImageFileSize);
  if (!bytes) return bytes.Error();
  using Reader = Result<Raster> (*)(const ImageBytes&);
  constexpr std::array<Reader, 6> Readers = {DecodeJpeg, DecodeGifImage, DecodePcx,
                                             DecodeBmp,  DecodePng,      DecodeTiff};
  Result<Raster> picture = Readers[imageType](*bytes);
  if (!picture) return picture.Error();
  image_ = std::move(*picture);
  return {};
}

Result<> IMGLIB1::SaveImageFile(std::string extension) {
  int imageType = JpegImage;
  GetFileFilter(extension, imageType);
  std::string ownExtension = ExtensionOf(ImageFileName);
  if (!ownExtension.empty()) {
    GetFileFilter(ownExtension, imageType);
    if (imageType == AnyImageType) return Failure{InvalidTypeMessage};
  } else {
    if (extension.empty()) return Failure{InvalidTypeMessage};
    ImageFileName += "." + extension;
  }
  if (image_.Pixels.empty()) return WriteFailure(ImageFileName, "there is no picture to write");

  std::optional<std::string> bytes = Encode(imageType);
  if (!bytes)
    return WriteFailure(ImageFileName,
                        std::string("the picture cannot be encoded as ") + TypeNames[imageType]);
  return WriteFile(ImageFileName, *bytes);
}

void IMGLIB1::SetCurrentImage(Raster picture) {
  for (ColourValue& pixel : picture.Pixels) pixel &= ~BackgroundMark;
  image_ = std::move(picture);
}

std::optional<std::string> IMGLIB1::Encode(int imageType) const {
  if (imageType == JpegImage) return EncodeJpeg(image_, JpegOptionA);
  const IndexedFrame indexed = Indexed();
  switch (imageType) {
    case GifImage:
      return EncodeGifFrame(indexed);
    case PcxImage:
      return EncodePcx(indexed);
    case BmpImage:
      return EncodeBmp8(indexed);
    case PngImage:
      return EncodePng(indexed);
    default:
      return EncodeTiff(indexed, TiffOptionB);
  }
}

IndexedFrame IMGLIB1::Indexed() const {
  if (sharedPalette_) return sharedPalette_->Map(image_);
  AnimationPalette own;
  own.AddFrame(image_);
  own.Build();
  return own.Map(image_);
}

}  // namespace flinder
