// A thread that writes whole buffers to a file descriptor in the order they
// were queued, so that the thread drawing frames does not wait for the reader
// at the other end (the encoder) unless it falls several frames behind.
// Buffers travel by swapping, never by copying.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace vorn {

class PipeWriter {
 public:
  // fd stays owned by the caller and must stay open until finish() returns.
  // At most maxQueued buffers wait for the thread (at least 1).
  PipeWriter(int fd, size_t maxQueued);
  ~PipeWriter();  // finish()
  PipeWriter(const PipeWriter&) = delete;
  PipeWriter& operator=(const PipeWriter&) = delete;

  // Queues bytes for writing and hands back in their place a buffer already
  // written (or an empty one). Blocks while maxQueued buffers wait. Returns
  // false, queueing nothing, once a write has failed.
  bool push(std::vector<uint8_t>& bytes);
  // Writes what is queued and ends the thread. False when a write failed.
  bool finish();
  // The errno of the failed write; 0 when none failed.
  int failure() const;
  // Seconds push spent waiting for room in the queue.
  double waitedSeconds() const { return waited_; }

 private:
  void run();

  int fd_;
  size_t maxQueued_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<uint8_t>> queued_;
  std::vector<std::vector<uint8_t>> spent_;
  bool closing_ = false;
  int failure_ = 0;
  double waited_ = 0.0;
  std::thread thread_;  // last: starts once the members above exist
};

}  // namespace vorn
