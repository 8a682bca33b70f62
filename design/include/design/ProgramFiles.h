#pragma once

#include <string>

namespace flinder {

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
// An installed program never writes beside itself, even run by root.
std::string DesignFilePath(const DesignFilePlaces& places);

// The sample design file an installed program ships, relative to its folder.
std::string InstalledSamplesPath(const std::string& programFolder);

// The user manual: beside the program in a build tree, otherwise in the
// installed documentation.
std::string ManualPath(const std::string& programFolder);

// DesignFilePath, with the user's file first made from the installed samples
// when it does not exist yet. A file that cannot be made is left to the
// programs' own report of a missing or unreadable file.
std::string PrepareDesignFile(const DesignFilePlaces& places);

}  // namespace flinder
