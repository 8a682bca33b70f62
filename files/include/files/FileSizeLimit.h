#pragma once

namespace flinder {

// Makes a file-size limit (`ulimit -f`) an ordinary write error. By default
// the write that passes the limit ends the process with SIGXFSZ, before a
// half-written temporary file is removed or anything is said; ignored, that
// write fails with EFBIG ("File too large"), which the careful writes clean
// up after and report like any other failure. Called once at start-up.
void ReportFileSizeLimitAsError();

}  // namespace flinder
