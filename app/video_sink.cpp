// Frames go raw through a pipe to one ffmpeg, fed by a writer thread; the
// music is added by a second ffmpeg run once the frames are encoded.
#include "app/video_sink.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/pipe_writer.h"
#include "app/wav_file.h"
#include "app/whole_file.h"
#include "platform/process.h"
#include "res/picture_file.h"

namespace vorn {

namespace {

namespace fs = std::filesystem;

// Frames the writer thread may hold while the encoder is busy: enough to ride
// out its uneven pace, few enough to keep memory small (1.9 MB each).
constexpr size_t kQueuedFrames = 3;

// The exit status a POSIX shell gives a program it could not run.
constexpr int kNotRunStatus = 127;

class VideoSink : public FileSink {
 public:
  VideoSink(std::string path, int fps)
      : path_(std::move(path)),
        fps_(fps),
        partialVideo_(path_ + ".partial-video.mkv"),
        partialAudio_(path_ + ".partial-audio.wav"),
        partialOut_(path_ + ".partial") {}

  ~VideoSink() override { abandonEncoder(); }

  bool open(std::string& error) override {
    ffmpeg_ = findProgram("ffmpeg");
    if (ffmpeg_.empty()) {
      error = "ffmpeg was not found on PATH; it is needed to write " + path_ + ": " + howToGetProgram("ffmpeg");
      return false;
    }
    // The target folder is writable. A dead ffmpeg shows as a write error,
    // not the end of the program: the program's entry ignores SIGPIPE.
    return writeWholeFile(partialOut_, "", 0, error);
  }

  // The encoder starts with the first frame, whose layout it is told.
  bool writeFrame(FramePixels& frame, std::string& error) override {
    if (!encoder_ && !startEncoder(frame, error)) return false;
    if (frame.layout != layout_ || frame.bytes.size() != frameBytes_) {
      error = "frames of one capture changed their size or pixel layout";
      return false;
    }
    if (!writer_->push(frame.bytes)) {
      error = "ffmpeg stopped taking frames (" + std::string(std::strerror(writer_->failure())) + ")" + encoderStatus();
      return false;
    }
    return true;
  }

  bool finish(const std::vector<int16_t>& audio, int rate, std::string& error) override {
    const bool written = !writer_ || writer_->finish();
    if (writer_) waitedSeconds_ = writer_->waitedSeconds();
    writer_.reset();
    const int status = encoder_ ? encoder_->wait() : 0;
    if (encoder_) encoderCpuSeconds_ = encoder_->cpuSeconds();
    encoder_.reset();
    if (!written || status != 0) {
      error = "ffmpeg failed while encoding the frames (exit status " + std::to_string(status) + ")";
      return false;
    }
    if (!writeWav(partialAudio_, audio, rate, error)) return false;
    const bool mp4 = endsWith(path_, ".mp4");
    std::vector<std::string> args = {ffmpeg_, "-hide_banner", "-loglevel", "error", "-y",   "-i",  partialVideo_,
                                     "-i",    partialAudio_,  "-map",      "0:v",   "-map", "1:a", "-c:v",
                                     "copy",  "-c:a",         "aac",       "-b:a",  "192k"};
    if (mp4) {
      args.insert(args.end(), {"-movflags", "+faststart"});
    }
    args.insert(args.end(), {"-f", mp4 ? "mp4" : "matroska", partialOut_});
    ChildProcess mux;
    std::string why;
    if (!mux.start(args, ChildInput::Nothing, why) || mux.wait() != 0) {
      error = "ffmpeg failed while adding the music to " + path_ + (why.empty() ? "" : " (" + why + ")");
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
  // Raw frames in the read-back's layout, bottom row first, which ffmpeg
  // turns upright; the pipe holds a whole frame when the system allows it.
  bool startEncoder(const FramePixels& frame, std::string& error) {
    layout_ = frame.layout;
    frameBytes_ = frame.bytes.size();
    const std::string size = std::to_string(frame.width) + "x" + std::to_string(frame.height);
    const std::vector<std::string> args = {ffmpeg_,
                                           "-hide_banner",
                                           "-loglevel",
                                           "error",
                                           "-y",
                                           "-f",
                                           "rawvideo",
                                           "-pix_fmt",
                                           layout_ == PixelLayout::Bgra ? "bgra" : "rgba",
                                           "-s",
                                           size,
                                           "-framerate",
                                           std::to_string(fps_),
                                           "-i",
                                           "-",
                                           "-vf",
                                           "vflip",
                                           "-an",
                                           "-c:v",
                                           "libx264",
                                           "-preset",
                                           "veryfast",
                                           "-crf",
                                           "18",
                                           "-pix_fmt",
                                           "yuv420p",
                                           "-f",
                                           "matroska",
                                           partialVideo_};
    encoder_ = std::make_unique<ChildProcess>();
    encoder_->reserveInput(frameBytes_);
    if (!encoder_->start(args, ChildInput::Pipe, error)) {
      encoder_.reset();
      return false;
    }
    writer_ = std::make_unique<PipeWriter>(encoder_->inputFd(), kQueuedFrames);
    return true;
  }

  // Ends the encoder first, so that a write blocked on it returns, then the
  // writer, and only then closes the pipe the writer used.
  void abandonEncoder() {
    if (encoder_) encoder_->terminate();
    writer_.reset();
    encoder_.reset();
  }

  std::string encoderStatus() {
    int status = 0;
    if (!encoder_ || !encoder_->ended(status)) return {};
    if (status == kNotRunStatus) return ": ffmpeg could not be started";
    if (status >= 0) return ": ffmpeg exited with status " + std::to_string(status);
    return ": ffmpeg was killed";
  }

  void removeTemporaries() {
    std::remove(partialVideo_.c_str());
    std::remove(partialAudio_.c_str());
  }

  std::string path_;
  int fps_;
  std::string partialVideo_, partialAudio_, partialOut_;
  std::string ffmpeg_;
  PixelLayout layout_ = PixelLayout::Bgra;
  size_t frameBytes_ = 0;
  std::unique_ptr<ChildProcess> encoder_;  // from the first frame until finish or abandon
  std::unique_ptr<PipeWriter> writer_;     // writes into encoder_'s input; ends before it
  double encoderCpuSeconds_ = 0.0;
  double waitedSeconds_ = 0.0;
};

}  // namespace

std::unique_ptr<FileSink> makeVideoSink(const std::string& path, int fps) {
  return std::make_unique<VideoSink>(path, fps);
}

}  // namespace vorn
