#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace flinder {

// The animation formats an export writes. An SVG file is the design drawn
// as shapes and outlines that a style sheet turns.
enum class ExportFormat { Gif, Webp, Apng, Svg };

// "gif", "webp", "apng" or "svg": the names `--format` takes.
std::string_view FormatName(ExportFormat format);
std::optional<ExportFormat> FormatNamed(std::string_view name);

// The format a file name asks for by its extension, in any letter case:
// .gif, .webp, .png or .apng, .svg; none for any other extension.
std::optional<ExportFormat> FormatOfFileName(const std::string& path);

// The extension a new file of the format gets, without the dot ("png" for
// APNG, which every browser and web server takes as a PNG).
std::string_view FormatExtension(ExportFormat format);

// How often an exported animation plays. `Repeats` is the GIF loop count,
// which browsers play Repeats + 1 times; the other formats store plays, so
// the same choice plays equally often in every format.
struct LoopChoice {
  static constexpr int UsualRepeats = 999;  // what every export wrote before the choice existed
  static constexpr int MaxRepeats = 65535;

  bool Forever = false;
  int Repeats = UsualRepeats;  // 1 to MaxRepeats, when not Forever

  // The count for the GIF application extension; 0 plays for ever.
  int GifLoopCount() const { return Forever ? 0 : Repeats; }
  // How many times the whole animation plays; 0 for ever.
  int Plays() const { return Forever ? 0 : Repeats + 1; }

  bool operator==(const LoopChoice&) const = default;
};

// "forever" (any case) or a whole number 1 to 65535; none for anything else.
std::optional<LoopChoice> ParseLoop(std::string_view text);

// The `Loop` key of the design file's [Export] section: absent, unreadable
// or "999" is the usual count.
LoopChoice LoopFromKey(std::string_view value);
// What the key stores: "Forever" or the count.
std::string LoopKeyText(const LoopChoice& loop);

// How an SVG file turns the shape: by the frames' poses, each held for one
// frame's delay as the other formats show them, or at an even pace.
enum class MotionChoice { Steps, Smooth };

// "steps" or "smooth" in any letter case; none for anything else.
std::optional<MotionChoice> ParseMotion(std::string_view text);
// The `Motion` key of [Export]: Steps unless it holds a valid choice.
MotionChoice MotionFromKey(std::string_view value);
// What the key stores: "Steps" or "Smooth".
std::string MotionKeyText(MotionChoice motion);

// Export scales: every length of the picture drawn 1, 2 or 3 times larger.
constexpr int MinExportScale = 1, MaxExportScale = 3;
// "1", "2" or "3"; none for anything else.
std::optional<int> ParseScale(std::string_view text);
// The `Scale` key of [Export]: 1 unless it holds a valid scale.
int ScaleFromKey(std::string_view value);

// The scale copies a web export makes of its WebP and still picture: any
// of 1x, 2x and 3x, at least one. The GIF is made at 1x alone.
class WebScales {
 public:
  WebScales() = default;  // 1x and 2x
  bool Has(int scale) const { return (mask_ >> scale & 1) != 0; }
  // Adds or takes away `scale`; the last one left stays.
  void Set(int scale, bool on);
  // The scales chosen, smallest first.
  std::vector<int> List() const;
  bool operator==(const WebScales&) const = default;

 private:
  unsigned mask_ = 1u << 1 | 1u << 2;
};

// The `WebScales` key of [Export]: the scales as "1,2"; the usual 1x and 2x
// unless it names at least one valid scale (others are passed over).
WebScales WebScalesFromKey(std::string_view value);
std::string WebScalesKeyText(const WebScales& scales);

}  // namespace flinder
