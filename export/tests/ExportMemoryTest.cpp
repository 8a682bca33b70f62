#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "SampleDesigns.h"
#include "export/AnimatedGifExport.h"
#include "support/TestFolders.h"

// The sanitizers' own memory is no measure of the export's.
#if defined(__SANITIZE_ADDRESS__)
#define MEMORY_UNMEASURED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MEMORY_UNMEASURED
#endif
#endif

namespace flinder {
namespace {

// The peak resident memory, in kilobytes, of a child process that exports
// the largest sample design at scale 3; -1 when the export failed.
long PeakKilobytes(const std::string& file, bool optimise, bool transparent, int workers) {
  const pid_t child = ::fork();
  if (child == 0) {
    ScratchFolder folder("export-memory");
    ShapeSettings settings =
        SettingsOf(*std::ranges::max_element(SampleDesigns(), {}, [](auto& design) {
          return design.Values[Width] * design.Values[Height];
        }));
    settings.Transparent = transparent;
    DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                           static_cast<int>(settings.SliderVal(Height)));
    FrameRenderer renderer;
    HeadlessExportHost host;
    AnimatedGifExport exporter(host, renderer, surface, settings);
    exporter.OutputFileName = folder.File(file);
    exporter.Optimise = optimise;
    exporter.Workers = workers;
    exporter.Scale = 3;
    ::_exit(exporter.Run().Ok ? 0 : 1);
  }
  int status = -1;
  rusage usage{};
  return ::wait4(child, &status, 0, &usage) == child && status == 0 ? usage.ru_maxrss : -1;
}

// The frames an export holds at once are bounded in bytes, not by the
// cores: asked for a worker per core of a machine of 64 cores (the Workers
// setting stands for the cores), an export takes at most twice the memory
// it takes with two.
TEST(ExportMemory, APeakDoesNotGrowWithTheNumberOfCores) {
#ifdef MEMORY_UNMEASURED
  GTEST_SKIP() << "built with a sanitizer";
#endif
  const std::tuple<std::string, bool, bool> kinds[] = {{"plain.gif", false, false},
                                                       {"optimised.gif", true, false},
                                                       {"transparent.gif", false, true},
                                                       {"a.webp", false, false},
                                                       {"a.png", false, false}};
  for (const auto& [file, optimise, transparent] : kinds) {
    const long twoCores = PeakKilobytes(file, optimise, transparent, 2);
    const long manyCores = PeakKilobytes(file, optimise, transparent, 64);
    ASSERT_GT(twoCores, 0) << file;
    EXPECT_LE(manyCores, 2 * twoCores)
        << file << ": " << twoCores / 1024 << " MB with two, " << manyCores / 1024 << " MB with 64";
  }
}

}  // namespace
}  // namespace flinder
