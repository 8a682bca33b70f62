#pragma once

#include <string_view>

#include "design/IniDocument.h"
#include "design/ShapeSettings.h"

namespace flinder {

// Lists `name` with "1" in section "Shapes" and writes every field of the
// record into section `name`, always all keys, in their fixed order.
void WriteShape(IniDocument& file, const ShapeSettings& settings, std::string_view name);

// Makes section `name` the record, in the order the window relies on: the
// sliders, the colour slots 6 down to 0 (slot 0 is left selected), the four
// toggled switches, the three set ones, the font, the positions and the
// caption; then `name` becomes CurrentShape. Missing keys read as "".
void ReadShape(const IniDocument& file, ShapeSettings& settings, std::string_view name);

}  // namespace flinder
