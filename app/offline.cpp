// Captures and shots: the frame loop on the fixed-step clock, with an output
// that reads each shown frame back and hands it to a frame sink.
#include "app/offline.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/demo_clock.h"
#include "app/frame_loop.h"
#include "app/frame_sink.h"

namespace vorn {

namespace {

// Shown frames and the soundtrack go to a sink; its path is printed at the end.
class SinkOutput : public FrameOutput {
 public:
  SinkOutput(const Engine& engine, FrameSink& sink) : engine_(engine), sink_(sink) {}
  bool open(std::string& error) override { return sink_.open(error); }
  bool frameDrawn(const FrameStep& frame, std::string& error) override {
    if (!frame.shown) return true;
    engine_.readFrame(rgb_);
    return sink_.writeFrame(rgb_, error);
  }
  bool finish(const std::vector<int16_t>& soundtrack, int rate, std::string& error) override {
    if (!sink_.finish(soundtrack, rate, error)) return false;
    std::printf("%s\n", sink_.resultPath().c_str());
    return true;
  }
  void abandon() override { sink_.abandon(); }

 private:
  const Engine& engine_;
  FrameSink& sink_;
  std::vector<uint8_t> rgb_;
};

int renderInto(Engine& engine, MusicPlayer& player, long first, long last, int fps, FrameSink& sink,
               const char* what) {
  StepClock clock(engine, player, first, last, fps, true);
  SinkOutput output(engine, sink);
  return runFrames(engine, clock, output, what);
}

}  // namespace

int runCapture(Engine& engine, MusicPlayer& player, const Options& o) {
  const long first = firstFrameAtOrAfter(o.from, o.fps);
  const long last = lastFrameAtOrBefore(o.to, o.fps);
  if (last < first) {
    std::fprintf(stderr, "vorndemo: no frame of %d fps lies between %g and %g s\n", o.fps, static_cast<double>(o.from),
                 static_cast<double>(o.to));
    return 2;
  }
  return renderInto(engine, player, first, last, o.fps, *makeFrameSink(o.path, o.fps), "capture");
}

int runShot(Engine& engine, MusicPlayer& player, const Options& o) {
  const long frame = frameShownAt(o.shotTime, o.fps);
  return renderInto(engine, player, frame, frame, o.fps, *makeShotSink(o.path), "shot");
}

}  // namespace vorn
