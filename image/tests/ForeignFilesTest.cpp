#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

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
    const std::string refused = MessageOf(images.LoadImageFile(""));
    [[maybe_unused]] auto written = ::write(pipeFds[1], refused.data(), refused.size());
    std::_Exit(refused.empty() ? 1 : 0);
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

// Bombs, oversize pictures, files that are no files at all, and every
// fuzzer finding kept in the tree are refused quickly, with little memory,
// saying why.
TEST(HostileFiles, BombsSpecialFilesAndRegressionInputsAreRefusedCheaplyWithTheReason) {
  const std::string TooWide =
      "the picture is too large: 16385 x 1 pixels, where at most 16384 a side and 67108864 in all "
      "are read";
  const fs::path regressions = FLINDER_REGRESSIONS_DIR;
  auto kept = [&](const char* name) { return (regressions / name).string(); };
  std::map<std::string, std::string> reasons = {
      {kept("jpg/scan-bomb.jpg"),
       "the picture has more than 32 scans, where at most 32 are read for 4096 x 4096 pixels"},
      {kept("tif/tile-bomb.tif"),
       "the picture is too large: a tile of 2147483648 bytes, where at most 67108864 are read "
       "in one piece"},
      {kept("tif/strip-bomb.tif"),
       "the picture is too large: a strip of 2147483648 bytes, where at most 67108864 are read "
       "in one piece"},
      {kept("png/oversize.png"),
       "the picture is too large: 20000 x 20000 pixels, where at most 16384 a side and 67108864 "
       "in all are read"},
      {kept("bmp/oversize.bmp"), TooWide},
      {kept("gif/oversize.gif"), TooWide},
      {kept("pcx/oversize.pcx"), TooWide},
      {kept("png/index-past-palette.png"),
       "not a PNG file of a kind this program reads, or damaged"}};

  ScratchFolder scratch("hostile");
  const std::string zero = scratch.File("zero.bmp"), fifo = scratch.File("fifo.png"),
                    huge = scratch.File("huge.png");
  fs::create_symlink("/dev/zero", zero);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WriteWholeFile(huge, "");
  fs::resize_file(huge, MaxImageFileSize + 1);  // sparse: no disk space taken
  reasons[zero] = reasons[fifo] = "not a regular file";
  reasons[huge] = "too large: 268435457 bytes, where at most 256 MiB are read";

  std::set<std::string> inputs;
  for (const auto& [path, reason] : reasons) inputs.insert(path);
  for (const auto& entry : fs::recursive_directory_iterator(regressions))
    if (entry.is_regular_file()) inputs.insert(entry.path().string());
  for (const std::string& path : inputs) {
    const Refusal refusal = ReadInChild(path);
    EXPECT_TRUE(refusal.Refused) << path;
    EXPECT_LT(refusal.Seconds, 1.0) << path;
    EXPECT_LT(refusal.PeakKiB, 256 * 1024) << path;
    if (reasons.count(path)) {
      EXPECT_EQ(refusal.Reason, reasons[path]);
    }
  }
}

// Files that Pillow and ImageMagick wrote in every depth, palette and row
// layout the readers take (made by bench/reader-fixtures) read as Pillow
// reads them, kept beside each as NAME.ppm: exactly, and JPEG within 2 a
// component, as decoders round.
TEST(IndependentFiles, ReadAsPillowReadsThem) {
  int files = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(FLINDER_IMAGE_TEST_FILES "/independent")) {
    const std::string path = entry.path().string();
    if (entry.path().extension() == ".ppm") continue;
    ++files;
    IMGLIB1 images;
    images.ImageFileName = path;
    if (Result<> read = images.LoadImageFile(""); !read) {
      ADD_FAILURE() << path << ": " << read.Message();
      continue;
    }
    std::istringstream pillow(ReadWholeFile(path + ".ppm"));
    std::string magic;
    int maximum = 0;
    Raster expected;
    pillow >> magic >> expected.Width >> expected.Height >> maximum;
    pillow.get();
    for (char rgb[3]; pillow.read(rgb, 3);)
      expected.Pixels.push_back(
          MakeColour(std::uint8_t(rgb[0]), std::uint8_t(rgb[1]), std::uint8_t(rgb[2])));
    const Raster& picture = images.CurrentImage();
    ASSERT_EQ(std::pair(picture.Width, picture.Height), std::pair(expected.Width, expected.Height))
        << path;
    EXPECT_LE(CompareRasters(picture, expected).first, entry.path().extension() == ".jpg" ? 2 : 0)
        << path;
  }
  EXPECT_GT(files, 40);
}

}  // namespace
}  // namespace flinder
