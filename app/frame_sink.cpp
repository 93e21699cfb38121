// PNG-directory and ffmpeg video sinks for offline frames.
#include "app/frame_sink.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/pipe_writer.h"
#include "platform/png_file.h"

namespace vorn {

namespace fs = std::filesystem;

// Frames the writer thread may hold while the encoder is busy: enough to ride
// out its uneven pace, few enough to keep memory small (1.9 MB each).
constexpr size_t kQueuedFrames = 3;

namespace {

bool endsWith(const std::string& s, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

void putLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Writes all bytes to path, reporting the system's reason on failure.
bool writeWhole(const std::string& path, const void* data, size_t size, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool wrote = std::fwrite(data, 1, size, f) == size;
  const int savedErrno = errno;
  const bool closed = std::fclose(f) == 0;
  if (!wrote || !closed) {
    error = "cannot write " + path + ": " + std::strerror(wrote ? errno : savedErrno);
    std::remove(path.c_str());
    return false;
  }
  return true;
}

std::string findExecutable(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t begin = 0;
  while (begin <= dirs.size()) {
    size_t end = dirs.find(':', begin);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(begin, end - begin) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    begin = end + 1;
  }
  return {};
}

// Runs a program with stdin from a pipe (when wantPipe) and returns its pid.
pid_t spawn(const std::vector<std::string>& args, bool wantPipe, int& pipeWrite) {
  int fds[2] = {-1, -1};
  if (wantPipe && pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    if (wantPipe) {
      dup2(fds[0], 0);
      close(fds[0]);
      close(fds[1]);
    } else {
      const int devnull = ::open("/dev/null", O_RDONLY);
      if (devnull >= 0) dup2(devnull, 0);
    }
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (wantPipe) {
    close(fds[0]);
    if (pid < 0) {
      close(fds[1]);
      return -1;
    }
    pipeWrite = fds[1];
  }
  return pid;
}

// Waits for the child; returns its exit status, or -1 when it died by a signal.
int waitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PngDirectorySink : public FrameSink {
 public:
  explicit PngDirectorySink(std::string dir) : dir_(std::move(dir)) {}

  bool open(std::string& error) override {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec || !fs::is_directory(dir_)) {
      error = "cannot create directory " + dir_ + (ec ? ": " + ec.message() : "");
      return false;
    }
    const std::string probe = dir_ + "/.vorndemo-write-test";
    if (!writeWhole(probe, "", 0, error)) return false;
    std::remove(probe.c_str());
    return true;
  }

  bool writeFrame(FramePixels& frame, std::string& error) override {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", frames_);
    const std::string path = dir_ + name;
    toRgbTopDown(frame, rgb_);
    if (!writeRgbPng(path, rgb_, frame.width, frame.height, error)) return false;
    written_.push_back(path);
    ++frames_;
    return true;
  }

  bool finish(const std::vector<int16_t>& audio, int rate, std::string& error) override {
    return writeWav(dir_ + "/music.wav", audio, rate, error);
  }

  void abandon() override {
    for (const auto& p : written_) std::remove(p.c_str());
    std::remove((dir_ + "/music.wav").c_str());
  }

  std::string resultPath() const override { return dir_; }

 private:
  std::string dir_;
  long frames_ = 0;
  std::vector<std::string> written_;
  std::vector<uint8_t> rgb_;
};

class ShotSink : public FrameSink {
 public:
  explicit ShotSink(std::string path) : path_(std::move(path)) {}

  bool open(std::string&) override { return true; }
  bool writeFrame(FramePixels& frame, std::string& error) override {
    std::vector<uint8_t> rgb;
    toRgbTopDown(frame, rgb);
    return writeRgbPng(path_, rgb, frame.width, frame.height, error);
  }
  bool finish(const std::vector<int16_t>&, int, std::string&) override { return true; }
  void abandon() override {}  // a failed write has already removed its file
  std::string resultPath() const override { return path_; }

 private:
  std::string path_;
};

class VideoSink : public FrameSink {
 public:
  VideoSink(std::string path, int fps)
      : path_(std::move(path)),
        fps_(fps),
        partialVideo_(path_ + ".partial-video.mkv"),
        partialAudio_(path_ + ".partial-audio.wav"),
        partialOut_(path_ + ".partial") {}

  ~VideoSink() override { abandonEncoder(); }

  bool open(std::string& error) override {
    ffmpeg_ = findExecutable("ffmpeg");
    if (ffmpeg_.empty()) {
      error = "ffmpeg was not found on PATH (Debian package ffmpeg); it is needed to write " + path_;
      return false;
    }
    // The target folder is writable. A dead ffmpeg shows as a write error,
    // not the end of the program: the program's entry ignores SIGPIPE.
    return writeWhole(partialOut_, "", 0, error);
  }

  // The encoder starts with the first frame, whose layout it is told.
  bool writeFrame(FramePixels& frame, std::string& error) override {
    if (pid_ < 0 && !startEncoder(frame, error)) return false;
    if (frame.layout != layout_ || frame.bytes.size() != frameBytes_) {
      error = "frames of one capture changed their size or pixel layout";
      return false;
    }
    if (!writer_->push(frame.bytes)) {
      error = "ffmpeg stopped taking frames (" + std::string(std::strerror(writer_->failure())) + ")" +
              encoderStatus();
      return false;
    }
    return true;
  }

  bool finish(const std::vector<int16_t>& audio, int rate, std::string& error) override {
    const bool written = !writer_ || writer_->finish();
    if (writer_) waitedSeconds_ = writer_->waitedSeconds();
    writer_.reset();
    if (pipe_ >= 0) close(pipe_);
    pipe_ = -1;
    const int status = pid_ > 0 ? waitFor(pid_) : 0;
    pid_ = -1;
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    encoderCpuSeconds_ = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    if (!written || status != 0) {
      error = "ffmpeg failed while encoding the frames (exit status " + std::to_string(status) + ")";
      return false;
    }
    if (!writeWav(partialAudio_, audio, rate, error)) return false;
    const bool mp4 = endsWith(path_, ".mp4");
    std::vector<std::string> args = {ffmpeg_, "-hide_banner", "-loglevel", "error", "-y", "-i", partialVideo_,
                                     "-i", partialAudio_, "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a",
                                     "aac", "-b:a", "192k"};
    if (mp4) {
      args.insert(args.end(), {"-movflags", "+faststart"});
    }
    args.insert(args.end(), {"-f", mp4 ? "mp4" : "matroska", partialOut_});
    int unused = -1;
    const pid_t mux = spawn(args, false, unused);
    if (mux < 0 || waitFor(mux) != 0) {
      error = "ffmpeg failed while adding the music to " + path_;
      return false;
    }
    std::error_code ec;
    fs::rename(partialOut_, path_, ec);
    if (ec) {
      error = "cannot rename " + partialOut_ + " to " + path_ + ": " + ec.message();
      return false;
    }
    removeTemporaries();
    return true;
  }

  void abandon() override {
    abandonEncoder();
    removeTemporaries();
    std::remove(partialOut_.c_str());
  }

  std::string resultPath() const override { return path_; }

  std::string statistics() const override {
    char line[160];
    std::snprintf(line, sizeof line, "encoder: %.1f s of CPU; drawing waited %.1f s for it to take frames",
                  encoderCpuSeconds_, waitedSeconds_);
    return line;
  }

 private:
  static double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * t.tv_usec; }

  // Raw frames in the read-back's layout, bottom row first, which ffmpeg
  // turns upright; the pipe holds a whole frame when the system allows it.
  bool startEncoder(const FramePixels& frame, std::string& error) {
    layout_ = frame.layout;
    frameBytes_ = frame.bytes.size();
    const std::string size = std::to_string(frame.width) + "x" + std::to_string(frame.height);
    const std::vector<std::string> args = {
        ffmpeg_, "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo", "-pix_fmt",
        layout_ == PixelLayout::Bgra ? "bgra" : "rgba", "-s", size, "-framerate", std::to_string(fps_), "-i", "-",
        "-vf", "vflip", "-an", "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
        "-f", "matroska", partialVideo_};
    pid_ = spawn(args, true, pipe_);
    if (pid_ < 0) {
      error = "cannot start ffmpeg: " + std::string(std::strerror(errno));
      return false;
    }
    fcntl(pipe_, F_SETPIPE_SZ, static_cast<int>(frameBytes_));  // a smaller pipe works too, only slower
    writer_ = std::make_unique<PipeWriter>(pipe_, kQueuedFrames);
    return true;
  }

  // Ends the encoder first, so that a write blocked on it returns, then the writer.
  void abandonEncoder() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitFor(pid_);
      pid_ = -1;
    }
    writer_.reset();
    if (pipe_ >= 0) {
      close(pipe_);
      pipe_ = -1;
    }
  }

  std::string encoderStatus() {
    if (pid_ <= 0) return {};
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return ": ffmpeg could not be started";
      if (WIFEXITED(status)) return ": ffmpeg exited with status " + std::to_string(WEXITSTATUS(status));
      return ": ffmpeg was killed";
    }
    return {};
  }

  void removeTemporaries() {
    std::remove(partialVideo_.c_str());
    std::remove(partialAudio_.c_str());
  }

  std::string path_;
  int fps_;
  std::string partialVideo_, partialAudio_, partialOut_;
  std::string ffmpeg_;
  pid_t pid_ = -1;
  int pipe_ = -1;
  PixelLayout layout_ = PixelLayout::Bgra;
  size_t frameBytes_ = 0;
  std::unique_ptr<PipeWriter> writer_;
  double encoderCpuSeconds_ = 0.0;
  double waitedSeconds_ = 0.0;
};

}  // namespace

bool isVideoPath(const std::string& path) { return endsWith(path, ".mp4") || endsWith(path, ".mkv"); }

std::unique_ptr<FrameSink> makeFrameSink(const std::string& path, int fps) {
  if (isVideoPath(path)) return std::make_unique<VideoSink>(path, fps);
  return std::make_unique<PngDirectorySink>(path);
}

std::unique_ptr<FrameSink> makeShotSink(const std::string& path) { return std::make_unique<ShotSink>(path); }

bool writeWav(const std::string& path, const std::vector<int16_t>& stereo, int rate, std::string& error) {
  const uint32_t dataBytes = static_cast<uint32_t>(stereo.size() * sizeof(int16_t));
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, 36 + dataBytes, 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, 16, 4);
  putLe(out, 1, 2);  // PCM
  putLe(out, 2, 2);  // stereo
  putLe(out, static_cast<uint32_t>(rate), 4);
  putLe(out, static_cast<uint32_t>(rate) * 4, 4);
  putLe(out, 4, 2);
  putLe(out, 16, 2);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  putLe(out, dataBytes, 4);
  for (int16_t s : stereo) putLe(out, static_cast<uint16_t>(s), 2);
  return writeWhole(path, out.data(), out.size(), error);
}

bool writeRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height,
                 std::string& error) {
  PngFormat format;
  format.colour = PngColour::Rgb;
  format.compressionLevel = 3;  // offline frames favour speed over file size
  return writePng(path, width, height, rgb, error, format);
}

}  // namespace vorn
