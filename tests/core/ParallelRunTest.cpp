#include "core/ParallelRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace kw {
namespace {

TEST(RunThreads, AtLeastOneAndNeverMoreThanItems) {
  struct Case {
    int requested;
    size_t items;
    int expected;
  };
  const Case cases[] = {{1, 100, 1}, {4, 100, 4}, {4, 3, 3}, {4, 0, 1}, {-2, 1, 1}, {0, 1, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(RunThreads(c.requested, c.items), c.expected) << c.requested << " " << c.items;
  EXPECT_GE(RunThreads(0, 1000), 1);
}

// Every item is done exactly once whatever the thread count; the reports come on the
// calling thread only, rise, and end with the whole count.
TEST(RunEach, DoesEveryItemOnceAndReportsOnTheCallingThread) {
  for (int threads : {1, 2, 5}) {
    for (size_t count : {size_t{0}, size_t{1}, size_t{250}, size_t{1001}}) {
      std::vector<std::atomic<int>> calls(count);
      std::vector<size_t> reports;
      const std::thread::id caller = std::this_thread::get_id();
      RunControl control{.threads = threads, .reportEvery = 100};
      control.progress = [&](size_t done, size_t total) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        EXPECT_EQ(total, count);
        reports.push_back(done);
        return true;
      };
      EXPECT_TRUE(RunEach(count, control, [&](size_t i) { ++calls[i]; }));
      for (size_t i = 0; i < count; ++i)
        ASSERT_EQ(calls[i].load(), 1) << threads << " threads, item " << i;
      if (count == 0) {
        EXPECT_TRUE(reports.empty());
        continue;
      }
      EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
      EXPECT_EQ(reports.back(), count) << threads;
      EXPECT_EQ(std::count(reports.begin(), reports.end(), count), 1) << threads;
    }
  }
}

TEST(RunEach, ACancelStopsTakingItems) {
  constexpr size_t Count = 20'000;
  const auto slowItem = [](std::atomic<size_t>& done) {
    std::this_thread::sleep_for(std::chrono::microseconds(20));
    ++done;
  };
  for (int threads : {1, 2, 4}) {
    std::atomic<size_t> done = 0;
    RunControl control{.threads = threads, .reportEvery = 10};
    control.progress = [](size_t, size_t) { return false; };
    EXPECT_FALSE(RunEach(Count, control, [&](size_t) { slowItem(done); }));
    if (threads == 1) {
      EXPECT_EQ(done.load(), 10u);
    } else {
      EXPECT_LT(done.load(), Count) << threads;
    }
  }
  // A cancel at the very end still counts.
  RunControl atTheEnd{.threads = 1, .reportEvery = 1000};
  atTheEnd.progress = [](size_t done, size_t total) { return done < total; };
  EXPECT_FALSE(RunEach(10, atTheEnd, [](size_t) {}));
}

// What a run keeps per thread is used by one item at a time: the thread a work call is told
// lies within the run's threads and never does two items at once.
TEST(RunEachOnThreads, AThreadDoesOneItemAtATime) {
  for (int threads : {1, 3}) {
    constexpr size_t Count = 600;
    const int running = RunThreads(threads, Count);
    std::vector<std::atomic<int>> busy(static_cast<size_t>(running));
    std::vector<int> threadOf(Count, -1);
    EXPECT_TRUE(RunEachOnThreads(Count, {.threads = threads}, [&](size_t item, int thread) {
      ASSERT_TRUE(thread >= 0 && thread < running) << thread;
      EXPECT_EQ(busy[static_cast<size_t>(thread)].fetch_add(1), 0);
      threadOf[item] = thread;
      std::this_thread::sleep_for(std::chrono::microseconds(5));
      busy[static_cast<size_t>(thread)].fetch_sub(1);
    }));
    EXPECT_EQ(std::count(threadOf.begin(), threadOf.end(), -1), 0) << threads;
  }
}

TEST(RunEach, AFailingItemStopsTheRunAndIsThrownToTheCaller) {
  for (int threads : {1, 3}) {
    EXPECT_THROW(RunEach(1000, {.threads = threads},
                         [&](size_t i) {
                           if (i == 50)
                             throw std::runtime_error("item 50");
                         }),
                 std::runtime_error);
  }
}

} // namespace
} // namespace kw
