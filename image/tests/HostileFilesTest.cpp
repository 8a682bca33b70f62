#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "GifTestFiles.h"
#include "image/IMGLIB1.h"
#include "image/ImageLimits.h"

namespace flinder {
namespace {

namespace fs = std::filesystem;

// What reading a file through the module cost and gave.
struct Refusal {
  bool Refused = false;
  std::string Reason;
  double Seconds = 0;  // processor time
  long PeakKiB = 0;
};

// Reads `path` in a child process (so that a bomb cannot take the test with
// it), which a hang ends after 20 s.
Refusal ReadInChild(const std::string& path) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    ::alarm(20);
    IMGLIB1 images;
    images.ImageFileName = path;
    const bool read = images.LoadImageFile("");
    [[maybe_unused]] auto written =
        ::write(pipeFds[1], images.LoadError.data(), images.LoadError.size());
    std::_Exit(read ? 1 : 0);
  }
  ::close(pipeFds[1]);
  Refusal result;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
    result.Reason.append(buffer, n);
  ::close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  result.Refused = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.Seconds = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  result.PeakKiB = usage.ru_maxrss;
  return result;
}

void ExpectRefusedWithinBounds(const std::string& path, const Refusal& refusal) {
  EXPECT_TRUE(refusal.Refused) << path;
  EXPECT_LT(refusal.Seconds, 1.0) << path;
  EXPECT_LT(refusal.PeakKiB, 256 * 1024) << path;
}

// Bombs, oversize pictures and files that are no files at all are refused
// quickly, with little memory, saying why.
TEST(HostileFiles, BombsAndSpecialFilesAreRefusedCheaplyWithTheReason) {
  const std::string regressions = FLINDER_REGRESSIONS_DIR;
  const std::string TooWide =
      "the picture is too large: 16385 x 1 pixels, where at most 16384 a side and 67108864 in all "
      "are read";
  const std::map<std::string, std::string> bombs = {
      {"jpg/scan-bomb.jpg",
       "the picture has more than 32 scans, where at most 32 are read for 4096 x 4096 pixels"},
      {"tif/tile-bomb.tif",
       "the picture is too large: a tile of 2147483648 bytes, where at most 67108864 are read "
       "in one piece"},
      {"tif/strip-bomb.tif",
       "the picture is too large: a strip of 2147483648 bytes, where at most 67108864 are read "
       "in one piece"},
      {"png/oversize.png",
       "the picture is too large: 20000 x 20000 pixels, where at most 16384 a side and 67108864 "
       "in all are read"},
      {"bmp/oversize.bmp", TooWide},
      {"gif/oversize.gif", TooWide},
      {"pcx/oversize.pcx", TooWide},
      {"png/index-past-palette.png", "not a PNG file of a kind this program reads, or damaged"}};
  for (const auto& [name, reason] : bombs) {
    const Refusal refusal = ReadInChild(regressions + "/" + name);
    ExpectRefusedWithinBounds(name, refusal);
    EXPECT_EQ(refusal.Reason, reason);
  }

  ScratchFolder scratch("hostile");
  const std::string zero = scratch.File("zero.bmp"), fifo = scratch.File("fifo.png"),
                    huge = scratch.File("huge.png");
  fs::create_symlink("/dev/zero", zero);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WriteWholeFile(huge, "");
  fs::resize_file(huge, MaxImageFileSize + 1);  // sparse: no disk space taken
  const std::map<std::string, std::string> special = {
      {zero, "not a regular file"},
      {fifo, "not a regular file"},
      {huge, "too large: 268435457 bytes, where at most 256 MiB are read"}};
  for (const auto& [path, reason] : special) {
    const Refusal refusal = ReadInChild(path);
    ExpectRefusedWithinBounds(path, refusal);
    EXPECT_EQ(refusal.Reason, reason);
  }
}

// Every bomb and every fuzzer finding kept in the tree.
TEST(HostileFiles, EveryRegressionInputIsRefusedWithin1SecondAnd256MB) {
  int inputs = 0;
  for (const auto& entry : fs::recursive_directory_iterator(FLINDER_REGRESSIONS_DIR)) {
    if (!entry.is_regular_file()) continue;
    ExpectRefusedWithinBounds(entry.path(), ReadInChild(entry.path()));
    ++inputs;
  }
  EXPECT_GE(inputs, 6);
}

}  // namespace
}  // namespace flinder
