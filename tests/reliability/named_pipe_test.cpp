// An asset path that names a pipe with no writer must be refused at once, not
// wait forever: each loader is given one and must return within a few seconds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/sound.h"
#include "res/texture.h"
#include "scene/model3ds.h"
#include "tests/support/gl_context.h"
#include "tests/support/test_files.h"

namespace vorn {
namespace {

// A loader that blocks is ended by the alarm, which fails the test run.
class NamedPipeAsset : public test::GlTest {
 protected:
  void SetUp() override {
    test::GlTest::SetUp();
    std::signal(SIGALRM, SIG_DFL);
    alarm(20);
  }
  void TearDown() override {
    alarm(0);
    test::GlTest::TearDown();
  }

  std::string pipeNamed(const char* name) {
    const std::string path = test::scratchDir() + "/" + name;
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    return path;
  }
};

TEST_F(NamedPipeAsset, PictureIsRefused) {
  const std::string path = pipeNamed("picture.png");
  testing::internal::CaptureStderr();
  Texture texture(path);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(texture.empty());
  EXPECT_NE(err.find(path), std::string::npos) << err;
}

TEST_F(NamedPipeAsset, ModelIsRefused) {
  const std::string path = pipeNamed("model.3ds");
  testing::internal::CaptureStderr();
  Model3ds model(path, 0.0f, 1.0f);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(model.file, nullptr);
  EXPECT_NE(err.find(path), std::string::npos) << err;
}

TEST_F(NamedPipeAsset, MusicIsRefusedAsUnreadable) {
  const std::string path = pipeNamed("music.ogg");
  vorn::sound::setManualMode(true);
  ASSERT_NE(FSOUND_Init(44100, 32, 0), 0);
  EXPECT_EQ(FSOUND_Stream_OpenFile(path.c_str(), FSOUND_NORMAL, 0), nullptr);
  EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_FILE_BAD);
  FSOUND_Close();
  vorn::sound::setManualMode(false);
}

}  // namespace
}  // namespace vorn
