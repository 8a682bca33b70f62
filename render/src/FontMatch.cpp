#include "render/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace flinder {
namespace {

struct ConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Loading the configuration scans the font directories, so it happens once
// per process; the configuration is released at exit.
FcConfig* Config() {
  static const std::unique_ptr<FcConfig, ConfigDeleter> config(FcInitLoadConfigAndFonts());
  return config.get();
}

}  // namespace

FontFile MatchFont(const CaptionFont& font) {
  FcConfig* config = Config();
  if (!config) return {};
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return {};
  const auto* family = reinterpret_cast<const FcChar8*>(font.FontName.c_str());
  if (!font.FontName.empty()) FcPatternAddString(pattern.get(), FC_FAMILY, family);
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, font.FontBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, font.FontItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) return {};
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(config, pattern.get(), &result));
  if (!match) return {};
  FcChar8* path = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch || !path) return {};
  FontFile file{reinterpret_cast<const char*>(path), 0};
  int index = 0;
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) file.Index = index;
  return file;
}

}  // namespace flinder
