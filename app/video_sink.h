// The capture sink that encodes a video with ffmpeg (found on the PATH) and
// adds the music to it.
#pragma once

#include <memory>
#include <string>

#include "app/file_sink.h"

namespace vorn {

// path ends in .mp4 or .mkv, which picks the container; fps is the frame rate.
std::unique_ptr<FileSink> makeVideoSink(const std::string& path, int fps);

}  // namespace vorn
