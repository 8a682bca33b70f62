#pragma once

#include <string>

#include "design/ShapeSettings.h"

namespace flinder {

// A font file and the index of the face inside it.
struct FontFile {
  std::string Path;  // empty when no font is known at all
  int Index = 0;
};

// The file that fontconfig picks for the caption font's face name, bold and
// italic. A name it does not know gives its default face, so a caption never
// goes blank for want of a font; only a system without any font gives an
// empty path.
FontFile MatchFont(const CaptionFont& font);

}  // namespace flinder
