// The writer thread in front of the encoder: buffers arrive whole and in
// order, and a reader that goes away shows as a failed push.
#include "app/pipe_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

namespace vorn {
namespace {

TEST(PipeWriter, WritesBuffersWholeAndInOrderAndHandsBuffersBack) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  constexpr int kBuffers = 7;
  constexpr size_t kSize = 300000;  // several pipe capacities
  std::vector<uint8_t> received;
  std::thread reader([&] {
    uint8_t block[65536];
    ssize_t n;
    while ((n = read(fds[0], block, sizeof block)) > 0) received.insert(received.end(), block, block + n);
  });
  {
    PipeWriter writer(fds[1], 2);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < kBuffers; ++i) {
      bytes.assign(kSize, static_cast<uint8_t>(i + 1));
      ASSERT_TRUE(writer.push(bytes));
      EXPECT_TRUE(bytes.empty() || bytes.size() == kSize) << "an empty or a written buffer comes back";
    }
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(writer.failure(), 0);
  }
  close(fds[1]);
  reader.join();
  close(fds[0]);
  ASSERT_EQ(received.size(), kSize * kBuffers);
  for (int i = 0; i < kBuffers; ++i) EXPECT_EQ(received[i * kSize + kSize - 1], i + 1) << "buffer " << i;
}

TEST(PipeWriter, AClosedReaderFailsThePushesThatFollow) {
  signal(SIGPIPE, SIG_IGN);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  PipeWriter writer(fds[1], 1);
  std::vector<uint8_t> bytes(1000, 7);
  bool refused = false;
  for (int i = 0; i < 100 && !refused; ++i) {
    bytes.assign(1000, 7);
    refused = !writer.push(bytes);
  }
  EXPECT_TRUE(refused);
  EXPECT_FALSE(writer.finish());
  EXPECT_EQ(writer.failure(), EPIPE);
  close(fds[1]);
}

}  // namespace
}  // namespace vorn
