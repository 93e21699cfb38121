// The benchmark: every frame of the show on the fixed-step clock, timed with
// the renderer's work finished, then a table of frame times per timeline entry.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "app/demo_clock.h"
#include "app/frame_loop.h"
#include "app/frame_stats.h"
#include "app/offline.h"
#include "platform/process_memory.h"

namespace vorn {

namespace {

class BenchmarkOutput : public FrameOutput {
 public:
  BenchmarkOutput(const Engine& engine, int fps, double startupSeconds)
      : engine_(engine),
        fps_(fps),
        startupSeconds_(startupSeconds),
        perEntry_(static_cast<size_t>(engine.entryCount)),
        residentAtEnd_(static_cast<size_t>(engine.entryCount), 0.0) {}

  bool open(std::string&) override {
    runBegin_ = std::chrono::steady_clock::now();
    return true;
  }

  void beforeFrame(const FrameStep&) override { begin_ = std::chrono::steady_clock::now(); }

  bool frameDrawn(const FrameStep& frame, std::string&) override {
    glFinish();  // the software renderer works behind the calls; count its time too
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin_).count();
    while (glGetError() != GL_NO_ERROR) ++glErrors_;
    all_.push_back(ms);
    for (int i = 0; i < engine_.entryCount; ++i) {
      if (!entryActive(engine_.entries[i], frame.time)) continue;
      perEntry_[static_cast<size_t>(i)].push_back(ms);
      residentAtEnd_[static_cast<size_t>(i)] = residentMiB();
    }
    return true;
  }

  bool finish(const std::vector<int16_t>&, int, std::string&) override {
    std::printf("frame times at %d fps, %ld frames (milliseconds)\n", fps_, static_cast<long>(all_.size()));
    std::printf("%5s  %-22s %4s %7s %8s %8s %8s %9s\n", "entry", "scene", "mode", "frames", "median", "p95", "worst",
                "RSS end");
    for (int i = 0; i < engine_.entryCount; ++i) {
      const FrameStats s = summarise(perEntry_[static_cast<size_t>(i)]);
      const Scene* scene = engine_.entries[i].scene;
      std::printf("%5d  %-22s %4d %7ld %8.2f %8.2f %8.2f %5.1f MiB\n", i, scene && scene->name ? scene->name : "",
                  engine_.entries[i].mode, s.count, s.median, s.p95, s.worst, residentAtEnd_[static_cast<size_t>(i)]);
    }
    const FrameStats total = summarise(all_);
    std::printf("%5s  %-22s %4s %7ld %8.2f %8.2f %8.2f\n", "all", "", "", total.count, total.median, total.p95,
                total.worst);
    std::printf("start-up (production build and asset loading): %.2f s\n", startupSeconds_);
    const double frames = std::chrono::duration<double>(std::chrono::steady_clock::now() - runBegin_).count();
    std::printf("wall time of the whole run: %.1f s (start-up %.2f s, frames %.1f s)\n", startupSeconds_ + frames,
                startupSeconds_, frames);
    std::printf("peak resident memory: %.1f MiB\n", peakResidentMiB());
    std::printf("GL errors: %ld\n", glErrors_);
    return true;
  }

 private:
  const Engine& engine_;
  int fps_;
  double startupSeconds_;
  std::vector<std::vector<double>> perEntry_;
  std::vector<double> residentAtEnd_;
  std::vector<double> all_;
  long glErrors_ = 0;
  std::chrono::steady_clock::time_point begin_;
  std::chrono::steady_clock::time_point runBegin_;
};

}  // namespace

int runBenchmark(Engine& engine, MusicPlayer& player, const Options& o, double startupSeconds) {
  StepClock clock(engine, player, 0, lastFrameAtOrBefore(kShowLength, o.fps), o.fps, false);
  BenchmarkOutput output(engine, o.fps, startupSeconds);
  return runFrames(engine, clock, output, "benchmark");
}

}  // namespace vorn
