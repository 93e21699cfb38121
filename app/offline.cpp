// Offline frame loop: replay what leads up to the first wanted frame, then
// draw each frame at n / fps, read it back and hand it to a sink, pulling the
// music frame by frame from the sound library's manual mode.
#include "app/offline.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/frame_sink.h"
#include "app/frame_stats.h"
#include "app/progress.h"
#include "platform/band_levels.h"
#include "platform/sound.h"
#include "res/music_player.h"

namespace vorn {

namespace {

constexpr double kTimeSlack = 1e-6;  // seconds; keeps n / fps on the right side of a bound

long long sampleAt(float t) { return std::llround(static_cast<double>(t) * kMixRate); }

// Current resident set size, from the kernel's page counts.
double residentMiB() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0.0;
  const int read = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  if (read != 2) return 0.0;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The music, pulled in frame-sized pieces from the playing stream.
class MusicCursor {
 public:
  // Positions the stream one spectrum window before the first frame to draw.
  explicit MusicCursor(float firstTime) {
    position_ = std::max<long long>(0, sampleAt(firstTime) - kSpectrumWindow);
    if (musicPlayer && musicPlayer->stream)
      sound::seekStream(musicPlayer->stream, static_cast<double>(position_) / kMixRate);
  }

  // Pulls the music up to (not including) sample `until`; keeps the samples
  // in [keepFrom, keepUntil) for the soundtrack.
  void advanceTo(long long until, long long keepFrom, long long keepUntil) {
    while (position_ < until) {
      const int frames = static_cast<int>(std::min<long long>(until - position_, kChunk));
      chunk_.assign(static_cast<size_t>(frames) * 2, 0);
      sound::pullSamples(chunk_.data(), frames);
      for (int i = 0; i < frames; ++i) {
        const long long s = position_ + i;
        if (s >= keepFrom && s < keepUntil) {
          kept_.push_back(chunk_[static_cast<size_t>(i) * 2]);
          kept_.push_back(chunk_[static_cast<size_t>(i) * 2 + 1]);
        }
      }
      position_ += frames;
    }
  }

  const std::vector<int16_t>& kept() const { return kept_; }

 private:
  static constexpr long long kChunk = 4096;
  long long position_ = 0;
  std::vector<int16_t> chunk_;
  std::vector<int16_t> kept_;
};

// Draws frames first .. last, handing frames from `keepFrom` on to sink (may
// be null). Returns 0, or 1 after printing why the sink failed.
int renderRange(Engine& engine, long first, long keepFrom, long last, int fps, FrameSink* sink, const char* what) {
  MusicCursor music(frameTime(first, fps));
  const long long keepSamplesFrom = sampleAt(frameTime(keepFrom, fps));
  const long long keepSamplesUntil = sampleAt(frameTime(last + 1, fps));
  Progress progress(what, last - first + 1);
  std::vector<uint8_t> rgb;
  std::string error;
  for (long n = first; n <= last; ++n) {
    const float t = frameTime(n, fps);
    music.advanceTo(sampleAt(t), keepSamplesFrom, keepSamplesUntil);
    engine.clearFrame();
    engine.drawTimeline(t);
    if (sink && n >= keepFrom) {
      engine.readFrame(rgb);
      if (!sink->writeFrame(rgb, error)) {
        std::fprintf(stderr, "\nvorndemo: %s\n", error.c_str());
        sink->abandon();
        return 1;
      }
    }
    engine.swapFrame();
    progress.update(n - first + 1);
  }
  progress.finish();
  music.advanceTo(keepSamplesUntil, keepSamplesFrom, keepSamplesUntil);
  if (sink && !sink->finish(music.kept(), kMixRate, error)) {
    std::fprintf(stderr, "vorndemo: %s\n", error.c_str());
    sink->abandon();
    return 1;
  }
  return 0;
}

long firstReplayFrame(const Engine& engine, long frame, int fps) {
  return std::min(frame, firstFrameAtOrAfter(replayStart(engine, frameTime(frame, fps)), fps));
}

// Opens sink, replays what leads up to frame `first`, hands frames first ..
// last to the sink and prints where the result is. Returns the exit status.
int renderInto(Engine& engine, long first, long last, int fps, FrameSink& sink, const char* what) {
  std::string error;
  if (!sink.open(error)) {
    std::fprintf(stderr, "vorndemo: %s\n", error.c_str());
    sink.abandon();
    return 1;
  }
  const int status = renderRange(engine, firstReplayFrame(engine, first, fps), first, last, fps, &sink, what);
  if (status == 0) std::printf("%s\n", sink.resultPath().c_str());
  return status;
}

}  // namespace

float frameTime(long n, int fps) { return static_cast<float>(static_cast<double>(n) / fps); }

long firstFrameAtOrAfter(float from, int fps) {
  return static_cast<long>(std::ceil(static_cast<double>(from) * fps - kTimeSlack));
}

long lastFrameAtOrBefore(float to, int fps) {
  return static_cast<long>(std::floor(static_cast<double>(to) * fps + kTimeSlack));
}

long frameShownAt(float t, int fps) { return lastFrameAtOrBefore(t, fps); }

float replayStart(const Engine& engine, float t) {
  float start = t;
  for (int i = 0; i < engine.entryCount; ++i) {
    const TimelineEntry& e = engine.entries[i];
    if (entryActive(e, t)) start = std::min(start, e.start);
  }
  return start;
}

int runCapture(Engine& engine, const Options& o) {
  const long first = firstFrameAtOrAfter(o.from, o.fps);
  const long last = lastFrameAtOrBefore(o.to, o.fps);
  if (last < first) {
    std::fprintf(stderr, "vorndemo: no frame of %d fps lies between %g and %g s\n", o.fps, static_cast<double>(o.from),
                 static_cast<double>(o.to));
    return 2;
  }
  return renderInto(engine, first, last, o.fps, *makeFrameSink(o.path, o.fps), "capture");
}

int runShot(Engine& engine, const Options& o) {
  const long frame = frameShownAt(o.shotTime, o.fps);
  return renderInto(engine, frame, frame, o.fps, *makeShotSink(o.path), "shot");
}

int runBenchmark(Engine& engine, const Options& o, double startupSeconds) {
  const long last = lastFrameAtOrBefore(176.0f, o.fps);
  std::vector<std::vector<double>> perEntry(static_cast<size_t>(engine.entryCount));
  std::vector<double> residentAtEnd(static_cast<size_t>(engine.entryCount), 0.0);
  std::vector<double> all;
  long glErrors = 0;
  MusicCursor music(0.0f);
  Progress progress("benchmark", last + 1);
  for (long n = 0; n <= last; ++n) {
    const float t = frameTime(n, o.fps);
    music.advanceTo(sampleAt(t), 0, 0);
    const auto begin = std::chrono::steady_clock::now();
    engine.clearFrame();
    engine.drawTimeline(t);
    glFinish();  // the software renderer works behind the calls; count its time too
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    while (glGetError() != GL_NO_ERROR) ++glErrors;
    engine.swapFrame();
    all.push_back(ms);
    for (int i = 0; i < engine.entryCount; ++i) {
      if (!entryActive(engine.entries[i], t)) continue;
      perEntry[static_cast<size_t>(i)].push_back(ms);
      residentAtEnd[static_cast<size_t>(i)] = residentMiB();
    }
    progress.update(n + 1);
  }
  progress.finish();

  std::printf("frame times at %d fps, %ld frames (milliseconds)\n", o.fps, last + 1);
  std::printf("%5s  %-22s %4s %7s %8s %8s %8s %9s\n", "entry", "scene", "mode", "frames", "median", "p95", "worst",
              "RSS end");
  for (int i = 0; i < engine.entryCount; ++i) {
    const FrameStats s = summarise(perEntry[static_cast<size_t>(i)]);
    const Scene* scene = engine.entries[i].scene;
    std::printf("%5d  %-22s %4d %7ld %8.2f %8.2f %8.2f %5.1f MiB\n", i, scene && scene->name ? scene->name : "",
                engine.entries[i].mode, s.count, s.median, s.p95, s.worst, residentAtEnd[static_cast<size_t>(i)]);
  }
  const FrameStats total = summarise(all);
  std::printf("%5s  %-22s %4s %7ld %8.2f %8.2f %8.2f\n", "all", "", "", total.count, total.median, total.p95,
              total.worst);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("start-up (production build and asset loading): %.2f s\n", startupSeconds);
  std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
  std::printf("GL errors: %ld\n", glErrors);
  return 0;
}

}  // namespace vorn
