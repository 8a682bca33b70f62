#pragma once

#include <functional>
#include <string>

namespace flinder {

// The files and folders this process is in the middle of writing that must
// not outlive an interrupted run: the temporary file of a replacement and the
// private folder of an export. An interrupt handler removes them all and ends
// the process. Every change goes through the registry while it is held, so
// the handler sees each file either before it exists or once it is recorded,
// and once the handler has run nothing new can be made.
namespace PendingFiles {

// Runs `make` (which creates `path`) and records `path` when it succeeds.
// Gives false without running `make` once the process is being interrupted.
bool Add(const std::string& path, const std::function<bool()>& make);
// The same for a folder, removed with everything in it.
bool AddFolder(const std::string& path, const std::function<bool()>& make);

// Runs `finish` (which renames or removes `path`) and forgets `path`;
// gives what `finish` gives.
bool Forget(const std::string& path, const std::function<bool()>& finish);

// Removes a recorded folder with everything in it, and forgets it.
void RemoveFolder(const std::string& path);

// Removes every recorded file and folder and ends the process at once with
// `exitCode`. Called from the thread that waits for the signals.
[[noreturn]] void RemoveAllAndExit(int exitCode);

}  // namespace PendingFiles
}  // namespace flinder
