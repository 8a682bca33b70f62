#pragma once

#include <cstdint>
#include <string>

namespace flinder {

// The largest design file read; a larger one is refused, not read.
constexpr std::uint64_t MaxDesignFileSize = std::uint64_t{64} << 20;

// What decides where the design file is: the folder the program runs from
// and the user's folders from the environment (empty when unset).
struct DesignFilePlaces {
  std::string ProgramFolder;
  std::string ConfigHome;  // $XDG_CONFIG_HOME
  std::string Home;        // $HOME
};

// The places of this process.
DesignFilePlaces PlacesOfThisProgram();

// The design file beside the program when one is there, or when the program
// is not installed (no sample designs installed beside it: a build tree, a
// portable copy) and its folder can be written. Otherwise the user's own:
// $XDG_CONFIG_HOME/flinder/flinder.ini, by default ~/.config/flinder/flinder.ini.
// Only an absolute XDG_CONFIG_HOME or HOME counts; with neither there is no
// place for it, and the path is empty. An installed program never writes
// beside itself, even run by root.
std::string DesignFilePath(const DesignFilePlaces& places);

// The sample design file an installed program ships, relative to its folder.
std::string InstalledSamplesPath(const std::string& programFolder);

// The user manual: beside the program in a build tree, otherwise in the
// installed documentation.
std::string ManualPath(const std::string& programFolder);

// The design file a program uses, and why it cannot be kept there: there is
// no place for it, or its folder cannot be made. A program with a Problem
// says so and writes no design file.
struct PreparedDesignFile {
  std::string Path;
  std::string Problem;
};

// DesignFilePath, with the user's file first made from the installed samples
// when it does not exist yet.
PreparedDesignFile PrepareDesignFile(const DesignFilePlaces& places);

}  // namespace flinder
