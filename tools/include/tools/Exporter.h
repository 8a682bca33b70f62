#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "files/ProgramFiles.h"

namespace flinder {

// Exit codes of flinder-export.
enum ExitCode : int { ExitOk = 0, ExitExportFailed = 1, ExitUsage = 2 };

// flinder-export with its arguments (without the program name); `defaultDesigns`
// is the design file used without --designs, which cannot be used when it
// has a Problem. Results go to `out`, errors to `err` one line each;
// `progress` draws a progress bar on `err` for --all.
int RunExporter(const std::vector<std::string>& arguments,
                const PreparedDesignFile& defaultDesigns, std::ostream& out, std::ostream& err,
                bool progress = false);

}  // namespace flinder
