// The capture sink that writes a folder of numbered PNG frames and music.wav.
#pragma once

#include <memory>
#include <string>

#include "app/file_sink.h"

namespace vorn {

// Frames become dir/frame-000000.png onwards; the folder is made when missing.
std::unique_ptr<FileSink> makePngFolderSink(const std::string& dir);

}  // namespace vorn
