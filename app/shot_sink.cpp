// One PNG, written when its frame comes; nothing else.
#include "app/shot_sink.h"

namespace vorn {

namespace {

class ShotSink : public FileSink {
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

}  // namespace

std::unique_ptr<FileSink> makeShotSink(const std::string& path) { return std::make_unique<ShotSink>(path); }

}  // namespace vorn
