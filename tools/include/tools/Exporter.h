#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace flinder {

// Exit codes of flinder-export.
enum ExitCode : int { ExitOk = 0, ExitExportFailed = 1, ExitUsage = 2 };

// flinder-export with its arguments (without the program name); `defaultDesigns`
// is the design file used without --designs. Results go to `out`, errors to
// `err` one line each; `progress` draws a progress bar on `err` for --all.
int RunExporter(const std::vector<std::string>& arguments, const std::string& defaultDesigns,
                std::ostream& out, std::ostream& err, bool progress = false);

// A design name as a file name: characters that are not letters, digits,
// blanks, dots, dashes or underscores become "_", and a leading dot too.
std::string SafeFileName(const std::string& name);

}  // namespace flinder
