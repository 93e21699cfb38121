// The frame loop and its two clocks.
#include "app/frame_loop.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>

#include "app/demo_clock.h"
#include "app/progress.h"
#include "platform/keyboard.h"

namespace vorn {

namespace {

uint32_t sdlTicks() { return SDL_GetTicks(); }

// Earliest start among entries active at t (t itself when none is).
float replayStart(const Engine& engine, float t) {
  float start = t;
  for (int i = 0; i < engine.entryCount; ++i) {
    const TimelineEntry& e = engine.entries[i];
    if (entryActive(e, t)) start = std::min(start, e.start);
  }
  return start;
}

}  // namespace

int runFrames(Engine& engine, FrameClock& clock, FrameOutput& output, const char* progressLabel) {
  std::string error;
  if (!output.open(error)) {
    std::fprintf(stderr, "vorndemo: %s\n", error.c_str());
    output.abandon();
    return 1;
  }
  if (!clock.start()) return 0;

  std::optional<Progress> progress;
  if (progressLabel) progress.emplace(progressLabel, clock.frameCount());
  long drawn = 0;
  do {
    const FrameStep frame = clock.next();
    output.beforeFrame(frame);
    engine.clearFrame();
    engine.drawTimeline(frame.time);
    if (!output.frameDrawn(frame, error)) {
      // Starts a fresh line: the progress line may be half written.
      std::fprintf(stderr, "\nvorndemo: %s\n", error.c_str());
      output.abandon();
      return 1;
    }
    engine.swapFrame();
    ++drawn;
    if (progress) progress->update(drawn);
  } while (clock.more());
  if (progress) progress->finish();

  if (!output.finish(clock.soundtrack(), clock.soundRate(), error)) {
    std::fprintf(stderr, "vorndemo: %s\n", error.c_str());
    output.abandon();
    return 1;
  }
  return 0;
}

LiveClock::LiveClock(MusicPlayer& player, float start, bool loop, TickReader ticks, EscapeQuery escape)
    : player_(player),
      start_(start),
      loop_(loop),
      ticks_(ticks ? ticks : sdlTicks),
      escape_(escape ? escape : escapeRequested) {}

// The order of the tick readings matters: the milliseconds between the two
// readings of one pass are not counted, and demo time 0 is the moment just
// after the music was started.
bool LiveClock::start() {
  if (start_ > 0.0f) player_.seek(start_);
  player_.play();
  tickReference_ = ticks_();
  demoTime_ = start_;
  return !escape_();
}

FrameStep LiveClock::next() {
  const float elapsed = elapsedSeconds(tickReference_, ticks_());
  tickReference_ = ticks_();
  demoTime_ = advanceDemoTime(demoTime_, elapsed);
  return {demoTime_, true};
}

bool LiveClock::more() {
  if (demoFinished(demoTime_)) {
    if (!loop_) return false;
    player_.stop();
    player_.seek(0.0);
    player_.play();
    tickReference_ = ticks_();
    demoTime_ = 0.0f;
  }
  return !escape_();
}

StepClock::StepClock(const Engine& engine, MusicPlayer& player, long shownFrom, long last, int fps, bool keepSoundtrack)
    : engine_(engine),
      player_(player),
      shownFrom_(shownFrom),
      last_(last),
      fps_(fps),
      keepSoundtrack_(keepSoundtrack) {}

bool StepClock::start() {
  first_ = std::min(shownFrom_, firstFrameAtOrAfter(replayStart(engine_, frameTime(shownFrom_, fps_)), fps_));
  n_ = first_;
  if (keepSoundtrack_) {
    keepFrom_ = sampleAt(frameTime(shownFrom_, fps_), player_.mixRate);
    keepUntil_ = sampleAt(frameTime(last_ + 1, fps_), player_.mixRate);
  }
  player_.play();
  music_.emplace(player_, sampleAt(frameTime(first_, fps_), player_.mixRate));
  return true;
}

FrameStep StepClock::next() {
  const float t = frameTime(n_, fps_);
  music_->advanceTo(sampleAt(t, player_.mixRate), keepFrom_, keepUntil_);
  return {t, n_ >= shownFrom_};
}

const std::vector<int16_t>& StepClock::soundtrack() {
  // The music runs on to the end of the last frame's time slot.
  if (keepSoundtrack_) music_->advanceTo(keepUntil_, keepFrom_, keepUntil_);
  return music_->kept();
}

}  // namespace vorn
