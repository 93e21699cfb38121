// The browser entry. The page's address chooses the mode:
//   (none)              the show: waits for the page's start click, plays the
//                       show with its music, and waits again after the end or
//                       Escape;
//   ?start=S            the same, the first show beginning at S seconds (a
//                       link to a moment; later shows begin at 0);
//   ?shot=S[&fps=N]     the one frame a desktop --shot S shows (the same
//                       fixed-step replay), handed to the page as RGBA rows.
// The page (shell.html) provides vornWaitingForStart(), vornShowEnded(),
// vornFrame(t), vornAudioTicks() and vornShotDone(pointer, width, height) /
// vornFailed(text).
#include <GL/gl.h>
#include <SDL/SDL.h>
#include <emscripten.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "app/demo_clock.h"
#include "app/engine.h"
#include "app/frame_loop.h"
#include "app/options.h"
#include "content/production.h"
#include "res/music_player.h"

namespace {

using namespace vorn;

// A number from the page's query string; NaN when absent or not a number.
double queryNumber(const char* name) {
  // The JavaScript's === would come apart under clang-format.
  // clang-format off
  return EM_ASM_DOUBLE(
      {
        const v = new URLSearchParams(location.search).get(UTF8ToString($0));
        return v === null || v === "" ? NaN : Number(v);
      },
      name);
  // clang-format on
}

// Live frames: each frame's demo time goes to the page (its audio check).
class PageOutput : public FrameOutput {
 public:
  void beforeFrame(const FrameStep& frame) override {
    EM_ASM({ vornFrame($0); }, static_cast<double>(frame.time));
  }
};

// The shown frame is read back before it is presented and handed to the page.
class ShotOutput : public FrameOutput {
 public:
  bool frameDrawn(const FrameStep& frame, std::string& /*error*/) override {
    if (!frame.shown) return true;
    rgba_.resize(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba_.data());
    EM_ASM({ vornShotDone($0, $1, $2); }, rgba_.data(), kScreenWidth, kScreenHeight);
    return true;
  }

 private:
  std::vector<uint8_t> rgba_;
};

// The live clock runs on the music as the listener hears it: the audio
// context's time since the first buffer of music began to sound (the page
// keeps it). The browser queues several buffers ahead, so wall-clock ticks
// from the moment of play would run ahead of the sound.
uint32_t audioTicks() {
  return static_cast<uint32_t>(EM_ASM_INT({ return vornAudioTicks(); }));
}

void fail(const char* what) {
  EM_ASM({ vornFailed(UTF8ToString($0)); }, what);
}

int runShot(Engine& engine, double seconds, int fps) {
  MusicPlayer player(kMixRate, MusicOutput::Pulled);
  musicPlayer = &player;
  if (player.open("vorndemo.ogg") != 0) {
    fail("the music could not be opened");
    return 1;
  }
  const long frame = frameShownAt(static_cast<float>(seconds), fps);
  StepClock clock(engine, player, frame, frame, fps, false);
  ShotOutput output;
  const int status = runFrames(engine, clock, output, nullptr);
  player.stop();
  musicPlayer = nullptr;
  return status;
}

// The show, as often as the viewer starts it; the first from `start`.
int runShows(Engine& engine, float start) {
  MusicPlayer player(kMixRate, MusicOutput::Device);
  musicPlayer = &player;
  if (player.open("vorndemo.ogg") != 0) {
    fail("the music could not be opened");
    return 1;
  }
  // One frame for each picture the browser shows: frames drawn between two
  // of its animation frames would never be seen.
  vw_pace_to_animation_frames(1);
  vw_prepare_draws();
  for (;;) {
    while (EM_ASM_INT({ return vornWaitingForStart() ? 1 : 0; })) emscripten_sleep(50);
    LiveClock clock(player, start, false, &audioTicks);
    PageOutput output;
    runFrames(engine, clock, output, nullptr);
    start = 0.0f;
    player.stop();
    player.seek(0.0);
    EM_ASM({ vornShowEnded(); });
  }
}

}  // namespace

int main() {
  if (SDL_Init(SDL_INIT_NOPARACHUTE) < 0) {
    fail("SDL could not be initialised");
    return 1;
  }
  DisplayOptions display;
  display.fullScreen = false;  // the page sizes the canvas
  display.offScreen = false;   // and scales it to the window itself
  display.vsync = false;
  Engine engine(display, &buildProduction);
  if (!engine.ok()) {
    fail("no WebGL context");
    return 1;
  }
  const double shot = queryNumber("shot");
  if (std::isnan(shot)) {
    const double start = queryNumber("start");
    if (std::isnan(start)) return runShows(engine, 0.0f);
    if (start < 0.0 || start > kShowLength) {
      fail("start needs 0 .. 176 seconds");
      return 2;
    }
    return runShows(engine, static_cast<float>(start));
  }

  const double fps = queryNumber("fps");
  const int steps = std::isnan(fps) ? kDefaultCaptureFps : static_cast<int>(fps);
  if (shot < 0.0 || shot > kShowLength || steps < 1 || steps > kMaxFps) {
    fail("shot needs 0 .. 176 seconds and fps 1 .. 1000");
    return 2;
  }
  return runShot(engine, shot, steps);
}
