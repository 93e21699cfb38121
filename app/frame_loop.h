// The one frame loop of every mode: a clock says which demo time each frame
// shows and keeps the music in step; an output takes the drawn frames (the
// window, files, or the benchmark's statistics). Per frame the Engine is
// asked for clearFrame, drawTimeline and swapFrame, in that order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/engine.h"
#include "res/music_cursor.h"
#include "res/music_player.h"

namespace vorn {

struct FrameStep {
  float time = 0.0f;  // demo time, seconds
  bool shown = true;  // false while replaying the frames that lead up to a late start
};

class FrameClock {
 public:
  virtual ~FrameClock() = default;
  // Starts the clock and the music; false ends the run before any frame.
  virtual bool start() = 0;
  // The frame to draw now, with the music brought up to its time.
  virtual FrameStep next() = 0;
  // Called after each presented frame: true when another follows.
  virtual bool more() = 0;
  // Frames the run draws, replay included; 0 when not known ahead.
  virtual long frameCount() const { return 0; }
  // After the last frame: the music of the shown frames, 16-bit stereo at
  // soundRate() Hz; empty when none was kept.
  virtual const std::vector<int16_t>& soundtrack() = 0;
  virtual int soundRate() const = 0;
};

// Where the loop's frames go: the window, the page, files (a FileSink behind
// app/offline's output) or the benchmark's statistics. The defaults do
// nothing: the window needs only the swap.
class FrameOutput {
 public:
  virtual ~FrameOutput() = default;
  // Each returns false with a one-line reason in error.
  virtual bool open(std::string& /*error*/) { return true; }
  virtual void beforeFrame(const FrameStep& /*frame*/) {}
  // After the frame is drawn, before it is presented.
  virtual bool frameDrawn(const FrameStep& /*frame*/, std::string& /*error*/) { return true; }
  virtual bool finish(const std::vector<int16_t>& /*soundtrack*/, int /*rate*/, std::string& /*error*/) { return true; }
  // Removes whatever a failed run left behind.
  virtual void abandon() {}
};

// Draws frames until the clock says the run is over. progressLabel names the
// work in progress lines on stderr; null prints none. Returns 0, or 1 after
// printing why the output failed.
int runFrames(Engine& engine, FrameClock& clock, FrameOutput& output, const char* progressLabel);

// The live show: wall-clock ticks from the music's start, the music playing on
// the device. Ends after the frame whose time first passes the show's length
// (unless looping, which starts over from 0) or when Escape is reported.
class LiveClock : public FrameClock {
 public:
  using TickReader = uint32_t (*)();  // milliseconds
  using EscapeQuery = bool (*)();
  // ticks and escape stand in for SDL's tick counter and the Escape query
  // when given (tests); null takes the real ones.
  LiveClock(MusicPlayer& player, float start, bool loop, TickReader ticks = nullptr, EscapeQuery escape = nullptr);
  bool start() override;
  FrameStep next() override;
  bool more() override;
  const std::vector<int16_t>& soundtrack() override { return none_; }
  int soundRate() const override { return player_.mixRate; }

 private:
  MusicPlayer& player_;
  float start_;
  bool loop_;
  TickReader ticks_;
  EscapeQuery escape_;
  float demoTime_ = 0.0f;
  uint32_t tickReference_ = 0;
  std::vector<int16_t> none_;
};

// Offline runs: frame n shows n / fps; frames shownFrom .. last are shown.
// Starting, it replays from the earliest start among the entries active at
// the first shown frame, so every state that grows frame by frame (the
// spectrum-driven pile) is rebuilt. The player must have pulled output.
class StepClock : public FrameClock {
 public:
  // keepSoundtrack: keep the music of the shown frames for soundtrack().
  StepClock(const Engine& engine, MusicPlayer& player, long shownFrom, long last, int fps, bool keepSoundtrack);
  bool start() override;
  FrameStep next() override;
  bool more() override { return ++n_ <= last_; }
  long frameCount() const override { return last_ - first_ + 1; }
  const std::vector<int16_t>& soundtrack() override;
  int soundRate() const override { return player_.mixRate; }

 private:
  const Engine& engine_;
  MusicPlayer& player_;
  long shownFrom_;
  long last_;
  int fps_;
  bool keepSoundtrack_;
  long first_ = 0;
  long n_ = 0;
  long long keepFrom_ = 0;  // samples kept: [keepFrom_, keepUntil_)
  long long keepUntil_ = 0;
  std::optional<MusicCursor> music_;
};

}  // namespace vorn
