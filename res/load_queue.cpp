// Workers take jobs in the order they were added, at most kWorkAhead beyond
// the last completed one, so that finished work (decoded pictures above all)
// does not pile up in memory while it waits for the GL.
#include "res/load_queue.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/thread_priority.h"

namespace vorn {

namespace {

// Jobs worked but not yet completed, at most: room for all 56 pictures and
// models the production reads while the display opens (an 800 x 600
// picture's levels hold 2.8 MB until their upload).
constexpr std::size_t kWorkAhead = 64;

// One core is left to the thread that opens the display and uploads; the
// browser build has no threads, and every job's work runs in finish() there.
#ifdef __EMSCRIPTEN__
constexpr unsigned kMaxWorkers = 0;
#else
constexpr unsigned kMaxWorkers = 3;
#endif

LoadQueue* activeQueue = nullptr;

}  // namespace

LoadQueue::LoadQueue() {
  if (activeQueue) {
    std::fprintf(stderr, "vorndemo: a second LoadQueue while one is active; finish and destroy the first\n");
    std::abort();
  }
  activeQueue = this;
  const unsigned cores = std::thread::hardware_concurrency();
  const unsigned workers = std::min(kMaxWorkers, cores > 2 ? cores - 1 : 1u);
  for (unsigned n = 0; n < workers; ++n) workers_.emplace_back(&LoadQueue::serve, this);
}

LoadQueue::~LoadQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  for (std::thread& t : workers_) t.join();
  activeQueue = nullptr;
}

LoadQueue* LoadQueue::active() { return activeQueue; }

void LoadQueue::add(std::function<void()> work, std::function<void()> complete) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{std::move(work), std::move(complete)});
  }
  changed_.notify_all();
}

void LoadQueue::serve() {
  // Loading takes what the display's opening (this process and the X
  // server) leaves idle: at normal priority it slows that opening more than
  // it gains. finish() does the work itself when a worker falls behind, so
  // a busy machine cannot starve the loading.
  lowerThisThreadPriority();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || workable(); });
    if (closing_) return;
    workNext(lock);
  }
}

bool LoadQueue::workable() const { return nextToWork_ < jobs_.size() && nextToWork_ < completed_ + kWorkAhead; }

void LoadQueue::workNext(std::unique_lock<std::mutex>& lock) {
  Job& job = jobs_[nextToWork_++];
  lock.unlock();
  job.work();
  lock.lock();
  job.worked = true;
  changed_.notify_all();
}

void LoadQueue::finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (completed_ < jobs_.size()) {
    Job& job = jobs_[completed_];
    // Rather than wait for a worker, this thread works the next job nobody
    // has started (the one to complete next, or a later one while a worker
    // is on that).
    if (!job.worked && workable()) {
      workNext(lock);
      continue;
    }
    changed_.wait(lock, [&job] { return job.worked; });
    lock.unlock();
    job.complete();
    job = Job{nullptr, nullptr, true};  // lets go of what the job captured
    lock.lock();
    ++completed_;
    changed_.notify_all();
  }
}

}  // namespace vorn
