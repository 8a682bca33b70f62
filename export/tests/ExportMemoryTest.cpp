#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "SampleDesigns.h"
#include "export/AnimatedGifExport.h"
#include "export/OrderedFramePool.h"
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

// Jobs that take longer the earlier their frame, so that later frames finish
// first; the pool keeps count of what it has in hand.
struct Jobs {
  OrderedFramePool Pool{4};
  std::mutex Mutex;
  std::vector<int> Finished, Taken;
  std::vector<bool> Busy = std::vector<bool>(4);
  int InHand = 0, MostInHand = 0;
  bool Overlapped = false;  // a worker ran two jobs at once

  int Make(int worker, int n) {
    {
      std::lock_guard lock(Mutex);
      Overlapped |= Busy.at(worker);
      Busy[worker] = true;
      MostInHand = std::max(MostInHand, ++InHand);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(n % 4 == 1 ? 6 : 1));
    std::lock_guard lock(Mutex);
    Busy[worker] = false;
    Finished.push_back(n);
    return n * n;
  }
  bool Take(int n, int result) {
    std::lock_guard lock(Mutex);
    --InHand;
    EXPECT_EQ(result, n * n);
    Taken.push_back(n);
    return true;
  }
  bool Run(int count, int stopAt = 0, int failAt = 0) {
    return Pool.Run<int>(
        count,
        [&](int worker, int n) {
          if (n == failAt) throw std::runtime_error("refused");
          return Make(worker, n);
        },
        [&](int n, int result) { return Take(n, result) && n != stopAt; });
  }
};

TEST(OrderedFramePool, FramesFinishedOutOfOrderAreTakenInOrderWithFewInHand) {
  Jobs jobs;
  ASSERT_TRUE(jobs.Run(40));
  std::vector<int> inOrder(40);
  for (int n = 1; n <= 40; ++n) inOrder[n - 1] = n;
  EXPECT_EQ(jobs.Taken, inOrder);
  EXPECT_NE(jobs.Finished, inOrder);  // the order really was mixed up
  // Besides the frame being taken.
  EXPECT_LE(jobs.MostInHand, 4 * OrderedFramePool::InFlightPerWorker + 1);
  EXPECT_FALSE(jobs.Overlapped);
  EXPECT_TRUE(Jobs().Run(0));
}

TEST(OrderedFramePool, AStopOrAFailedFrameEndsTheRunAtItsTurn) {
  Jobs stopped;
  EXPECT_FALSE(stopped.Run(40, 5));
  EXPECT_EQ(stopped.Taken, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_LE(stopped.Finished.size(), 5u + 4 * OrderedFramePool::InFlightPerWorker);

  Jobs failed;
  EXPECT_THROW(failed.Run(40, 0, 7), std::runtime_error);
  EXPECT_EQ(failed.Taken, (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace flinder
