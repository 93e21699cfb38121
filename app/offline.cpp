// Captures and shots: the frame loop on the fixed-step clock, with an output
// that reads each shown frame back and hands it to a frame sink.
#include "app/offline.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/demo_clock.h"
#include "app/file_sink.h"
#include "app/frame_loop.h"
#include "app/frame_readback.h"
#include "app/shot_sink.h"

namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// Shown frames and the soundtrack go to a sink; its path is printed at the
// end. A capture also reports its pace and where the time went, on stderr.
class SinkOutput : public FrameOutput {
 public:
  SinkOutput(FileSink& sink, int fps, bool report) : sink_(sink), fps_(fps), report_(report) {}
  bool open(std::string& error) override {
    begin_ = Clock::now();
    return sink_.open(error);
  }
  void beforeFrame(const FrameStep&) override {
    const Clock::time_point now = Clock::now();
    if (frameEnd_ != Clock::time_point{}) presenting_ += std::chrono::duration<double>(now - frameEnd_).count();
    frameBegin_ = now;
  }
  bool frameDrawn(const FrameStep& frame, std::string& error) override {
    Clock::time_point t = Clock::now();
    drawing_ += std::chrono::duration<double>(t - frameBegin_).count();
    bool ok = true;
    if (frame.shown) {
      readback_.read(kScreenWidth, kScreenHeight, pixels_);
      reading_ += secondsSince(t);
      t = Clock::now();
      ok = sink_.writeFrame(pixels_, error);
      handing_ += secondsSince(t);
      ++shown_;
    }
    frameEnd_ = Clock::now();
    return ok;
  }
  bool finish(const std::vector<int16_t>& soundtrack, int rate, std::string& error) override {
    const Clock::time_point t = Clock::now();
    if (!sink_.finish(soundtrack, rate, error)) return false;
    if (report_) printSummary(secondsSince(t));
    std::printf("%s\n", sink_.resultPath().c_str());
    return true;
  }
  void abandon() override { sink_.abandon(); }

 private:
  void printSummary(double finishing) const {
    const double wall = secondsSince(begin_);
    const double shownSeconds = static_cast<double>(shown_) / fps_;
    std::fprintf(stderr, "capture: %ld frames (%.1f s of the show) in %.1f s: %.1f frames/s, %.2f x real time\n",
                 shown_, shownSeconds, wall, static_cast<double>(shown_) / wall, shownSeconds / wall);
    const auto share = [wall](double s) { return 100.0 * s / wall; };
    std::fprintf(stderr,
                 "capture time: drawing %.0f %%, read-back %.0f %%, handing to the sink %.0f %%, presenting and "
                 "music %.0f %%, finishing %.0f %%\n",
                 share(drawing_), share(reading_), share(handing_), share(presenting_), share(finishing));
    const std::string more = sink_.statistics();
    if (!more.empty()) std::fprintf(stderr, "capture %s\n", more.c_str());
  }

  FileSink& sink_;
  int fps_;
  bool report_;
  FrameReadback readback_;
  FramePixels pixels_;
  long shown_ = 0;
  Clock::time_point begin_, frameBegin_, frameEnd_;
  double drawing_ = 0.0, reading_ = 0.0, handing_ = 0.0, presenting_ = 0.0;  // seconds
};

int renderInto(Engine& engine, MusicPlayer& player, long first, long last, int fps, FileSink& sink, const char* what,
               bool report) {
  StepClock clock(engine, player, first, last, fps, true);
  SinkOutput output(sink, fps, report);
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
  return renderInto(engine, player, first, last, o.fps, *makeCaptureSink(o.path, o.fps), "capture", true);
}

int runShot(Engine& engine, MusicPlayer& player, const Options& o) {
  const long frame = frameShownAt(o.shotTime, o.fps);
  return renderInto(engine, player, frame, frame, o.fps, *makeShotSink(o.path), "shot", false);
}

}  // namespace vorn
