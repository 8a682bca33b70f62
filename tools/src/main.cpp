// flinder-export: exports the designs of a design file as animated GIFs.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <thread>

#include "files/FileSizeLimit.h"
#include "files/PendingFiles.h"
#include "files/ProgramFiles.h"
#include "tools/Exporter.h"

namespace {

// SIGINT, SIGTERM and SIGHUP go to one thread of their own, which removes the
// files an export is making and ends the process with 128 + the signal.
// They are blocked before any other thread starts, so every thread inherits that.
void CleanUpOnInterrupt() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals] {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    flinder::PendingFiles::RemoveAllAndExit(128 + signal);
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  CleanUpOnInterrupt();
  // A reader that goes away makes writing to a pipe an ordinary error.
  signal(SIGPIPE, SIG_IGN);
  flinder::ReportFileSizeLimitAsError();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  // The user's own design file is made from the samples only when it is used.
  const flinder::DesignFilePlaces places = flinder::PlacesOfThisProgram();
  const bool ownFile =
      std::find(arguments.begin(), arguments.end(), "--designs") == arguments.end();
  const flinder::PreparedDesignFile defaultDesigns =
      ownFile ? flinder::PrepareDesignFile(places)
              : flinder::PreparedDesignFile{flinder::DesignFilePath(places), {}};
  return flinder::RunExporter(arguments, defaultDesigns, std::cout, std::cerr,
                              ::isatty(STDERR_FILENO) != 0);
}
