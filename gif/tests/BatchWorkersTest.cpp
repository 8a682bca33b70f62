#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "gif/BatchWorkers.h"

namespace flinder {
namespace {

TEST(BatchWorkers, EveryJobOfEveryBatchRunsOnceAndAFailureReachesTheWaiter) {
  BatchWorkers workers(3);
  std::vector<std::atomic<int>> runs(50);
  for (std::size_t count : {50u, 1u, 0u, 17u}) {
    workers.Start(count, [&](std::size_t i) { ++runs[i]; });
    workers.Wait();
  }
  for (std::size_t i = 0; i < runs.size(); ++i)
    EXPECT_EQ(runs[i], i == 0 ? 3 : i < 17 ? 2 : 1) << i;

  // The other jobs still run; the batch after is not affected.
  std::atomic<int> done = 0;
  workers.Start(20, [&](std::size_t i) {
    if (i == 7) throw std::runtime_error("job 7");
    ++done;
  });
  EXPECT_THROW(workers.Wait(), std::runtime_error);
  EXPECT_EQ(done, 19);
  workers.Start(5, [&](std::size_t) { ++done; });
  workers.Wait();
  EXPECT_EQ(done, 24);
}

}  // namespace
}  // namespace flinder
