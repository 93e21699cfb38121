// The choice of sink for a capture, and the PNG frame format the PNG sinks share.
#include "app/file_sink.h"

#include "app/png_folder_sink.h"
#include "app/video_sink.h"
#include "platform/png_file.h"
#include "res/picture_file.h"

namespace vorn {

std::unique_ptr<FileSink> makeCaptureSink(const std::string& path, int fps) {
  if (endsWith(path, ".mp4") || endsWith(path, ".mkv")) return makeVideoSink(path, fps);
  return makePngFolderSink(path);
}

bool writeRgbPng(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height, std::string& error) {
  PngFormat format;
  format.colour = PngColour::Rgb;
  format.compressionLevel = 3;  // offline frames favour speed over file size
  return writePng(path, width, height, rgb, error, format);
}

}  // namespace vorn
