// Captures and shots: the frame loop on the fixed-step clock, with an output
// that reads each shown frame back and hands it to a frame sink.
#include "app/offline.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/demo_clock.h"
#include "app/frame_loop.h"
#include "app/frame_sink.h"

namespace vorn {

namespace {

// The drawn back buffer as RGB rows, top row first.
void readFrame(std::vector<uint8_t>& rgb) {
  static std::vector<uint8_t> raw;
  raw.resize(static_cast<size_t>(kScreenWidth) * kScreenHeight * 3);
  rgb.resize(raw.size());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, raw.data());
  const size_t row = static_cast<size_t>(kScreenWidth) * 3;
  for (int y = 0; y < kScreenHeight; ++y)
    std::memcpy(rgb.data() + static_cast<size_t>(y) * row, raw.data() + static_cast<size_t>(kScreenHeight - 1 - y) * row,
                row);
}

// Shown frames and the soundtrack go to a sink; its path is printed at the end.
class SinkOutput : public FrameOutput {
 public:
  explicit SinkOutput(FrameSink& sink) : sink_(sink) {}
  bool open(std::string& error) override { return sink_.open(error); }
  bool frameDrawn(const FrameStep& frame, std::string& error) override {
    if (!frame.shown) return true;
    readFrame(rgb_);
    return sink_.writeFrame(rgb_, error);
  }
  bool finish(const std::vector<int16_t>& soundtrack, int rate, std::string& error) override {
    if (!sink_.finish(soundtrack, rate, error)) return false;
    std::printf("%s\n", sink_.resultPath().c_str());
    return true;
  }
  void abandon() override { sink_.abandon(); }

 private:
  FrameSink& sink_;
  std::vector<uint8_t> rgb_;
};

int renderInto(Engine& engine, MusicPlayer& player, long first, long last, int fps, FrameSink& sink,
               const char* what) {
  StepClock clock(engine, player, first, last, fps, true);
  SinkOutput output(sink);
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
