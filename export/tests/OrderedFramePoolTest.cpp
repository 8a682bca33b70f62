#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "export/OrderedFramePool.h"

namespace flinder {
namespace {

// Jobs that take longer the earlier their frame, so that later frames finish
// first; the pool keeps count of what it has in hand. A run stops once it
// has taken `stopAt`, and the job of `failAt` throws.
struct Jobs {
  std::mutex Mutex;
  std::vector<int> Finished, Taken;  // a frame taken with a wrong result as its negative
  std::vector<bool> Busy = std::vector<bool>(4);
  int InHand = 0, MostInHand = 0;
  bool Overlapped = false;  // a worker ran two jobs at once

  bool Run(int count, int stopAt = 0, int failAt = 0) {
    return OrderedFramePool(4).Run<int>(
        count,
        [&](int worker, int n) {
          if (n == failAt) throw std::runtime_error("refused");
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
        },
        [&](int n, int result) {
          std::lock_guard lock(Mutex);
          --InHand;
          Taken.push_back(result == n * n ? n : -n);
          return n != stopAt;
        });
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
