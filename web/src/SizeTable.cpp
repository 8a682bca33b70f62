#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "web/Printable.h"
#include "web/WebSnippet.h"

namespace flinder {
namespace {

constexpr std::size_t Columns = 5;  // name, format, bytes, ratio to the GIF, exact
using Row = std::array<std::string, Columns>;
constexpr std::array<bool, Columns> RightAligned = {false, false, true, true, false};

std::string FormatName(const WebFile& file) {
  std::string format;
  switch (file.Kind) {
    case WebFileKind::Svg:
      format = "SVG";
      break;
    case WebFileKind::Webp:
      format = "WebP";
      break;
    case WebFileKind::Gif:
      format = "GIF";
      break;
    case WebFileKind::Still:
      format = "PNG still";
      break;
    case WebFileKind::Html:
      format = "HTML";
      break;
  }
  if (file.Scale != 1) format.append(" ").append(std::to_string(file.Scale)).append("x");
  return format;
}

std::string Ratio(std::uintmax_t bytes, std::uintmax_t gifBytes) {
  if (gifBytes == 0) return "-";
  char ratio[32];
  std::snprintf(ratio, sizeof ratio, "%.2fx",
                static_cast<double>(bytes) / static_cast<double>(gifBytes));
  return ratio;
}

// The columns a cell takes: one per character of its UTF-8 text.
std::size_t Width(const std::string& cell) {
  std::size_t width = 0;
  for (unsigned char c : cell) width += (c & 0xC0) != 0x80;
  return width;
}

}  // namespace

std::string SizeTable(const WebPicture& picture) {
  const DownloadTotals totals = Downloads(picture);
  const std::uintmax_t gifBytes = totals.Old;
  std::vector<Row> rows = {{"file", "format", "bytes", "vs GIF", "exact"}};
  for (const WebFile& file : picture.Files)
    rows.push_back({Printable(file.Name), FormatName(file), std::to_string(file.Bytes),
                    Ratio(file.Bytes, gifBytes), file.Exact ? "yes" : "no"});
  rows.push_back({});  // a blank line before the totals
  const auto total = [&](const char* who, std::uintmax_t bytes) {
    rows.push_back({who, "downloads", std::to_string(bytes), Ratio(bytes, gifBytes), ""});
  };
  total("modern browser", totals.Modern);
  total("old browser", totals.Old);
  total("reduced motion", totals.ReducedMotion);

  std::array<std::size_t, Columns> widths{};
  for (const Row& row : rows)
    for (std::size_t i = 0; i < Columns; ++i) widths[i] = std::max(widths[i], Width(row[i]));
  std::string table;
  for (const Row& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < Columns; ++i) {
      const std::string pad(widths[i] - Width(row[i]), ' ');
      if (i > 0) line += "  ";
      line += RightAligned[i] ? pad + row[i] : row[i] + pad;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    table += line + "\n";
  }
  return table;
}

}  // namespace flinder
