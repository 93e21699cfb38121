// The writer thread and its bounded queue.
#include "app/pipe_writer.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace vorn {

namespace {

// Writes all of bytes; returns 0 or the errno of the failure.
int writeAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t offset = 0;
  while (offset < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + offset, bytes.size() - offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    offset += static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

PipeWriter::PipeWriter(int fd, size_t maxQueued)
    : fd_(fd), maxQueued_(maxQueued > 0 ? maxQueued : 1), thread_([this] { run(); }) {}

PipeWriter::~PipeWriter() { finish(); }

bool PipeWriter::push(std::vector<uint8_t>& bytes) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto begin = std::chrono::steady_clock::now();
  changed_.wait(lock, [this] { return failure_ != 0 || queued_.size() < maxQueued_; });
  waited_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  if (failure_ != 0 || closing_) return false;
  std::vector<uint8_t> back;
  if (!spent_.empty()) {
    back.swap(spent_.back());
    spent_.pop_back();
  }
  queued_.emplace_back();
  queued_.back().swap(bytes);
  bytes.swap(back);
  changed_.notify_all();
  return true;
}

bool PipeWriter::finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
  return failure() == 0;
}

int PipeWriter::failure() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return failure_;
}

void PipeWriter::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || !queued_.empty(); });
    if (queued_.empty()) return;  // closing with nothing left
    std::vector<uint8_t> bytes;
    bytes.swap(queued_.front());
    lock.unlock();
    const int result = writeAll(fd_, bytes);
    lock.lock();
    queued_.pop_front();
    spent_.push_back(std::move(bytes));
    if (result != 0) {
      failure_ = result;
      queued_.clear();
      changed_.notify_all();
      return;
    }
    changed_.notify_all();
  }
}

}  // namespace vorn
