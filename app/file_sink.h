// Files that offline frames go into: a directory of PNG frames plus
// music.wav, a video with the music through ffmpeg, or a single picture. The
// frame loop drives a FrameOutput (app/frame_loop.h); a FileSink only takes
// the read-back frames behind one. A sink that fails leaves nothing that
// looks complete: partial files carry a ".partial" name until the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/frame_readback.h"
#include "fx/screen_size.h"

namespace vorn {

class FileSink {
 public:
  virtual ~FileSink() = default;
  // Each returns false with a one-line reason in error.
  virtual bool open(std::string& error) = 0;
  // frame: kScreenWidth x kScreenHeight. The sink may keep frame's bytes and
  // hand back another buffer in their place, of any content; the caller
  // reads the next frame into it.
  virtual bool writeFrame(FramePixels& frame, std::string& error) = 0;
  // audio: 16-bit stereo interleaved at rate Hz covering the frames written.
  virtual bool finish(const std::vector<int16_t>& audio, int rate, std::string& error) = 0;
  // Removes whatever a failed run left behind.
  virtual void abandon() = 0;
  // What a user should look at afterwards.
  virtual std::string resultPath() const = 0;
  // After finish: one line on where the sink's time went; empty when nothing to say.
  virtual std::string statistics() const { return {}; }
};

// A PATH ending in .mp4 or .mkv gives a video sink; anything else a PNG directory.
std::unique_ptr<FileSink> makeCaptureSink(const std::string& path, int fps);

// One offline frame as an RGB PNG, in the format every PNG sink writes.
bool writeRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height, std::string& error);

}  // namespace vorn
