// Loading done on worker threads while the production is built and the
// display opens: each job's work runs on a worker, and its completion (the
// GL upload, the message about a bad file) runs later on the thread that
// calls finish(), in the order the jobs were added, so what the GL and stderr
// see does not depend on timing.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vorn {

class LoadQueue {
 public:
  // Becomes the active queue until destroyed; one at a time.
  LoadQueue();
  // Stops the workers. Jobs finish() has not completed are dropped: their
  // completions never run (as when the display cannot be opened).
  ~LoadQueue();
  LoadQueue(const LoadQueue&) = delete;
  LoadQueue& operator=(const LoadQueue&) = delete;

  // The queue loaders add their jobs to, or null.
  static LoadQueue* active();

  // work runs once on some worker thread, or in finish() on the calling
  // thread when it gets there first; complete runs after it in finish().
  // Whatever both capture must outlive finish().
  void add(std::function<void()> work, std::function<void()> complete);
  // Completes every job added so far, in order, waiting for its work.
  void finish();

 private:
  struct Job {
    std::function<void()> work;
    std::function<void()> complete;
    bool worked = false;
  };

  void serve();
  // True when a job nobody has started may be started now; under mutex_.
  bool workable() const;
  // Works the next job nobody has started, with mutex_ held on entry and
  // return (released while the work runs).
  void workNext(std::unique_lock<std::mutex>& lock);

  std::deque<Job> jobs_;  // grows at the back only, so a Job stays where it is
  std::size_t nextToWork_ = 0;
  std::size_t completed_ = 0;
  bool closing_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::thread> workers_;
};

}  // namespace vorn
