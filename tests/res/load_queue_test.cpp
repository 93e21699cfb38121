// LoadQueue: completions run in the order jobs were added, each after its own
// work, whatever order the workers finish in; finish() works jobs itself
// rather than wait; a queue dropped unfinished runs no completion.
#include "res/load_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vorn {
namespace {

TEST(LoadQueue, CompletesEveryJobInOrderAfterItsWork) {
  constexpr int kJobs = 40;
  std::vector<int> order;
  auto worked = std::make_shared<std::vector<char>>(kJobs, 0);
  {
    LoadQueue queue;
    EXPECT_EQ(LoadQueue::active(), &queue);
    for (int i = 0; i < kJobs; ++i) {
      // Early jobs take longest, so that a worker ahead of the others would
      // finish them out of order.
      queue.add(
          [worked, i] {
            std::this_thread::sleep_for(std::chrono::microseconds(50 * (kJobs - i)));
            (*worked)[i] = 1;
          },
          [worked, i, &order] {
            EXPECT_TRUE((*worked)[i]) << "job " << i << " completed before its work";
            order.push_back(i);
          });
    }
    queue.finish();
    queue.finish();  // nothing left: completes nothing twice
  }
  EXPECT_EQ(LoadQueue::active(), nullptr);
  ASSERT_EQ(order.size(), static_cast<size_t>(kJobs));
  for (int i = 0; i < kJobs; ++i) EXPECT_EQ(order[i], i);
}

// A job whose work waits for a later job's work: finish() must work the
// later one itself rather than wait for a worker that is busy with the first.
TEST(LoadQueue, FinishWorksLaterJobsWhileAWorkerIsBusy) {
  std::mutex m;
  std::condition_variable cv;
  bool firstStarted = false, secondWorked = false, firstWaited = false;
  {
    LoadQueue queue;
    queue.add(
        [&] {
          std::unique_lock<std::mutex> lock(m);
          firstStarted = true;
          cv.notify_all();
          firstWaited = cv.wait_for(lock, std::chrono::seconds(5), [&] { return secondWorked; });
        },
        [] {});
    queue.add(
        [&] {
          std::lock_guard<std::mutex> lock(m);
          secondWorked = true;
          cv.notify_all();
        },
        [] {});
    {
      // A worker has the first job before finish() is called.
      std::unique_lock<std::mutex> lock(m);
      cv.wait(lock, [&] { return firstStarted; });
    }
    queue.finish();
  }
  EXPECT_TRUE(firstWaited) << "the second job's work never ran while the first waited for it";
}

TEST(LoadQueue, DroppedUnfinishedRunsNoCompletion) {
  int completed = 0;
  {
    LoadQueue queue;
    for (int i = 0; i < 5; ++i) queue.add([] {}, [&completed] { ++completed; });
  }
  EXPECT_EQ(completed, 0);
  EXPECT_EQ(LoadQueue::active(), nullptr);
}

}  // namespace
}  // namespace vorn
