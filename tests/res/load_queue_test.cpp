// LoadQueue: completions run in the order jobs were added, each after its own
// work, whatever order the workers finish in; a queue dropped unfinished runs
// no completion.
#include "res/load_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
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
      queue.add([worked, i] {
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
