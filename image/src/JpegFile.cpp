// libjpeg reports errors by calling error_exit, which must not return. Ours
// jumps back to a setjmp in the function that called the library; only C
// frames of libjpeg lie between, and the state the jump leaves behind lives
// on the heap, made before the setjmp, so nothing is skipped or lost.
#include "image/JpegFile.h"

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageLimits.h"
#include "image/NewPicture.h"

namespace flinder {

namespace {

struct ErrorJump {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  std::string TooLarge;  // why the reader stopped a file, when it did
};

[[noreturn]] void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorJump*>(info->err)->Jump, 1);
}

// Warnings are counted (a file cut short only warns) but never printed.
void Silent(j_common_ptr) {}

jpeg_error_mgr* QuietErrors(ErrorJump& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = JumpBack;
  error.Manager.output_message = Silent;
  return &error.Manager;
}

struct Compression {
  jpeg_compress_struct Info{};
  ErrorJump Error{};
  unsigned char* Memory = nullptr;
  unsigned long Size = 0;
  std::vector<JSAMPLE> Row;
  ~Compression() {
    jpeg_destroy_compress(&Info);
    std::free(Memory);
  }
};

struct Decompression {
  explicit Decompression(const ImageBytes& bytes) : In(bytes) {}
  jpeg_decompress_struct Info{};
  ErrorJump Error{};
  jpeg_progress_mgr Progress{};
  jpeg_source_mgr Source{};
  ByteReader In;
  int MaxScans = 0;
  Raster Picture;
  ~Decompression() { jpeg_destroy_decompress(&Info); }
};

Decompression& StateOf(j_decompress_ptr info) {
  return *static_cast<Decompression*>(info->client_data);
}

// libjpeg's source of bytes: the pieces the reader has at hand. Past the end
// it gets an end marker and a warning, as from libjpeg's own sources.
boolean FillSource(j_decompress_ptr info) {
  static const JOCTET End[2] = {0xFF, JPEG_EOI};
  const std::string_view piece = StateOf(info).In.TakeSome(std::size_t{1} << 20);
  info->src->next_input_byte = reinterpret_cast<const JOCTET*>(piece.data());
  info->src->bytes_in_buffer = piece.size();
  if (piece.empty()) {
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = End;
    info->src->bytes_in_buffer = sizeof End;
  }
  return TRUE;
}

void SkipSource(j_decompress_ptr info, long count) {
  jpeg_source_mgr& source = *info->src;
  if (count <= 0) return;
  if (static_cast<std::size_t>(count) <= source.bytes_in_buffer) {
    source.next_input_byte += count;
    source.bytes_in_buffer -= static_cast<std::size_t>(count);
    return;
  }
  StateOf(info).In.Skip(static_cast<std::size_t>(count) - source.bytes_in_buffer);
  source.bytes_in_buffer = 0;
}

void NoSourceStep(j_decompress_ptr) {}

// Every scan of a progressive file passes over the whole picture, and a
// small file can repeat one scan thousands of times: the scans read are
// bounded by the work they make, with room for any encoder's usual dozen.
int MaxScansFor(std::uint64_t pixels) {
  constexpr std::uint64_t Work = std::uint64_t{1} << 29;  // pixels times scans
  return static_cast<int>(std::clamp<std::uint64_t>(Work / pixels, 16, 256));
}

// Called by libjpeg as it reads; stops a file past its scans.
void CountScans(j_common_ptr common) {
  auto* state = static_cast<Decompression*>(common->client_data);
  if (state->Info.input_scan_number <= state->MaxScans) return;
  state->Error.TooLarge = "the picture has more than " + std::to_string(state->MaxScans) +
                          " scans, where at most " + std::to_string(state->MaxScans) +
                          " are read for " + std::to_string(state->Info.image_width) + " x " +
                          std::to_string(state->Info.image_height) + " pixels";
  JumpBack(common);
}

constexpr std::string_view FormatName = "JPEG";

Failure Unreadable() {
  return NotReadable(FormatName);
}

}  // namespace

std::optional<std::string> EncodeJpeg(const Raster& raster, int quality) {
  if (raster.Width <= 0 || raster.Height <= 0 || raster.Width > 65500 || raster.Height > 65500)
    return std::nullopt;
  auto state = std::make_unique<Compression>();
  jpeg_compress_struct& info = state->Info;
  info.err = QuietErrors(state->Error);
  if (setjmp(state->Error.Jump)) return std::nullopt;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &state->Memory, &state->Size);
  info.image_width = static_cast<JDIMENSION>(raster.Width);
  info.image_height = static_cast<JDIMENSION>(raster.Height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  state->Row.resize(static_cast<std::size_t>(raster.Width) * 3);
  for (int y = 0; y < raster.Height; ++y) {
    const ColourValue* pixel = &raster.Pixels[static_cast<std::size_t>(y) * raster.Width];
    for (int x = 0; x < raster.Width; ++x) {
      state->Row[3 * x] = static_cast<JSAMPLE>(RedOf(pixel[x]));
      state->Row[3 * x + 1] = static_cast<JSAMPLE>(GreenOf(pixel[x]));
      state->Row[3 * x + 2] = static_cast<JSAMPLE>(BlueOf(pixel[x]));
    }
    JSAMPROW row = state->Row.data();
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return std::string(reinterpret_cast<const char*>(state->Memory), state->Size);
}

Result<Raster> DecodeJpeg(const ImageBytes& bytes) {
  auto state = std::make_unique<Decompression>(bytes);
  jpeg_decompress_struct& info = state->Info;
  info.err = QuietErrors(state->Error);
  info.client_data = state.get();
  if (setjmp(state->Error.Jump)) {
    if (!state->Error.TooLarge.empty()) return Failure{state->Error.TooLarge};
    return Unreadable();
  }
  jpeg_create_decompress(&info);
  state->Source = {nullptr,     0, NoSourceStep, FillSource, SkipSource, jpeg_resync_to_restart,
                   NoSourceStep};
  info.src = &state->Source;
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return Unreadable();
  if (Result<> fits =
          CheckPictureSize(info.image_width, info.image_height, bytes.Size(), FormatName);
      !fits)
    return fits.Error();
  state->MaxScans = MaxScansFor(std::uint64_t{info.image_width} * info.image_height);
  state->Progress.progress_monitor = CountScans;
  info.progress = &state->Progress;
  // Warnings about the header (an unknown JFIF revision, a stray byte
  // between markers) leave the picture whole; any later one means it is not.
  const long headerWarnings = info.err->num_warnings;
  // Red, green, blue and a spare byte: a colour value's layout, so each row
  // goes straight into the picture.
  info.out_color_space = JCS_EXT_RGBX;
  jpeg_start_decompress(&info);
  Raster& raster = state->Picture;
  raster = NewPicture(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  while (info.output_scanline < info.output_height) {
    ColourValue* out = &raster.At(0, static_cast<int>(info.output_scanline));
    JSAMPROW row = reinterpret_cast<JSAMPROW>(out);
    jpeg_read_scanlines(&info, &row, 1);
    for (std::size_t x = 0; x < info.output_width; ++x) out[x] &= ~BackgroundMark;
  }
  jpeg_finish_decompress(&info);
  // Data cut short or damaged only warns, and reads on as grey.
  if (info.err->num_warnings > headerWarnings) return Unreadable();
  return std::move(raster);
}

}  // namespace flinder
