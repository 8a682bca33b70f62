#include "files/FileSizeLimit.h"

#include <csignal>

namespace flinder {

void ReportFileSizeLimitAsError() {
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace flinder
