#include "design/ExportChoices.h"

#include <algorithm>
#include <charconv>

#include "files/FileNameParts.h"

namespace flinder {

namespace {

struct FormatEntry {
  ExportFormat Format;
  std::string_view Name;
  std::string_view Extension;
};

constexpr FormatEntry Formats[] = {
    {ExportFormat::Gif, "gif", "gif"},
    {ExportFormat::Webp, "webp", "webp"},
    {ExportFormat::Apng, "apng", "png"},
    {ExportFormat::Svg, "svg", "svg"},
};

const FormatEntry& EntryOf(ExportFormat format) {
  return *std::find_if(std::begin(Formats), std::end(Formats),
                       [format](const FormatEntry& e) { return e.Format == format; });
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

// A whole decimal number from `low` to `high` and nothing else.
std::optional<int> WholeNumber(std::string_view text, int low, int high) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
    return std::nullopt;
  return value;
}

}  // namespace

std::string_view FormatName(ExportFormat format) { return EntryOf(format).Name; }

std::optional<ExportFormat> FormatNamed(std::string_view name) {
  for (const FormatEntry& e : Formats)
    if (e.Name == name) return e.Format;
  return std::nullopt;
}

std::optional<ExportFormat> FormatOfFileName(const std::string& path) {
  const std::string extension = ExtensionOf(path);
  for (const FormatEntry& e : Formats)
    if (EqualIgnoringAsciiCase(extension, e.Name) || EqualIgnoringAsciiCase(extension, e.Extension))
      return e.Format;
  return std::nullopt;
}

std::string_view FormatExtension(ExportFormat format) { return EntryOf(format).Extension; }

std::optional<LoopChoice> ParseLoop(std::string_view text) {
  if (EqualIgnoringAsciiCase(text, "forever")) return LoopChoice{true, LoopChoice::UsualRepeats};
  if (auto repeats = WholeNumber(text, 1, LoopChoice::MaxRepeats)) return LoopChoice{false, *repeats};
  return std::nullopt;
}

LoopChoice LoopFromKey(std::string_view value) { return ParseLoop(value).value_or(LoopChoice{}); }

std::string LoopKeyText(const LoopChoice& loop) {
  return loop.Forever ? "Forever" : std::to_string(loop.Repeats);
}

std::optional<MotionChoice> ParseMotion(std::string_view text) {
  if (EqualIgnoringAsciiCase(text, "steps")) return MotionChoice::Steps;
  if (EqualIgnoringAsciiCase(text, "smooth")) return MotionChoice::Smooth;
  return std::nullopt;
}

MotionChoice MotionFromKey(std::string_view value) {
  return ParseMotion(value).value_or(MotionChoice::Steps);
}

std::string MotionKeyText(MotionChoice motion) {
  return motion == MotionChoice::Smooth ? "Smooth" : "Steps";
}

std::optional<int> ParseScale(std::string_view text) {
  return WholeNumber(text, MinExportScale, MaxExportScale);
}

int ScaleFromKey(std::string_view value) { return ParseScale(value).value_or(MinExportScale); }

void WebScales::Set(int scale, bool on) {
  if (scale < MinExportScale || scale > MaxExportScale) return;
  const unsigned changed = on ? mask_ | 1u << scale : mask_ & ~(1u << scale);
  if (changed != 0) mask_ = changed;
}

std::vector<int> WebScales::List() const {
  std::vector<int> scales;
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    if (Has(scale)) scales.push_back(scale);
  return scales;
}

WebScales WebScalesFromKey(std::string_view value) {
  std::vector<int> named;
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    if (std::optional<int> scale = ParseScale(value.substr(0, comma))) named.push_back(*scale);
    value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
  }
  WebScales scales;
  if (named.empty()) return scales;
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale) scales.Set(scale, true);
  for (int scale = MinExportScale; scale <= MaxExportScale; ++scale)
    scales.Set(scale, std::find(named.begin(), named.end(), scale) != named.end());
  return scales;
}

std::string WebScalesKeyText(const WebScales& scales) {
  std::string text;
  for (int scale : scales.List()) {
    if (!text.empty()) text += ',';
    text += static_cast<char>('0' + scale);
  }
  return text;
}

}  // namespace flinder
