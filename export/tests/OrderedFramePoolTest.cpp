#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "export/OrderedFramePool.h"

namespace flinder {
namespace {

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
