// Child programs: found on the PATH as executable files only, fed through
// the pipe to the end, their exit status and killing seen by the parent.
#include "platform/process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/test_files.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

// Sets PATH for one test and puts it back afterwards.
class PathFor {
 public:
  explicit PathFor(const std::string& path) : saved_(std::getenv("PATH") ? std::getenv("PATH") : "") {
    setenv("PATH", path.c_str(), 1);
  }
  ~PathFor() { setenv("PATH", saved_.c_str(), 1); }

 private:
  std::string saved_;
};

void writeScript(const std::string& path, const std::string& body) {
  test::writeFile(path, "#!/bin/sh\n" + body + "\n");
  fs::permissions(path, fs::perms::owner_all);
}

TEST(Process, FindsOnlyExecutableFilesInPathOrder) {
  const std::string dir = test::scratchDir();
  fs::create_directories(dir + "/a/tool");  // a directory of that name is no program
  fs::create_directories(dir + "/b");
  test::writeFile(dir + "/b/tool", "not executable");
  fs::create_directories(dir + "/c");
  writeScript(dir + "/c/tool", "exit 0");
  fs::create_directories(dir + "/d");
  writeScript(dir + "/d/tool", "exit 0");
  PathFor path(dir + "/a:" + dir + "/b::" + dir + "/c:" + dir + "/d");
  EXPECT_EQ(findProgram("tool"), dir + "/c/tool");
  EXPECT_EQ(findProgram("missing"), "");
}

TEST(Process, ThePipeReachesTheChildWholeAndItsStatusComesBack) {
  const std::string dir = test::scratchDir();
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(child.start({"/bin/sh", "-c", "cat > " + dir + "/got; exit 3"}, ChildInput::Pipe, error)) << error;
  const std::string sent(200000, 'v');  // beyond a default pipe's room
  ASSERT_EQ(write(child.inputFd(), sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
  EXPECT_EQ(child.wait(), 3);
  EXPECT_EQ(child.inputFd(), -1);
  EXPECT_EQ(test::readFile(dir + "/got"), sent);

  ChildProcess empty;
  ASSERT_TRUE(empty.start({"/bin/sh", "-c", "test \"$(wc -c)\" -eq 0"}, ChildInput::Nothing, error)) << error;
  EXPECT_EQ(empty.inputFd(), -1);
  EXPECT_EQ(empty.wait(), 0) << "without a pipe the child reads an empty input";
}

TEST(Process, ARunningChildIsSeenRunningAndCanBeEnded) {
  ChildProcess child;
  std::string error;
  ASSERT_TRUE(child.start({"/bin/sh", "-c", "exec sleep 60"}, ChildInput::Pipe, error)) << error;
  int status = 0;
  EXPECT_FALSE(child.ended(status));
  child.terminate();
  EXPECT_TRUE(child.ended(status));
  EXPECT_EQ(status, -1) << "killed, not exited";
  EXPECT_EQ(child.wait(), -1);
}

TEST(Process, AProgramThatCannotRunIsRefusedWithItsName) {
  ChildProcess child;
  std::string error;
  EXPECT_FALSE(child.start({"/nonexistent/tool"}, ChildInput::Pipe, error));
  EXPECT_NE(error.find("/nonexistent/tool"), std::string::npos) << error;
  EXPECT_EQ(child.wait(), -1);
}

}  // namespace
}  // namespace vorn
