#pragma once

#include <string>
#include <vector>

namespace flinder {

// The stem of design `name`'s web files when the design file lists
// `listed`: the one `--all` gives it, so both ways of exporting name its
// files alike (`name` counts as listed when it is not); the program's name
// when `name` is empty, as when no design is current.
std::string WebFileStem(std::vector<std::string> listed, const std::string& name);

}  // namespace flinder
