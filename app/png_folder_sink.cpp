// PNG frames written as they come; a failed capture removes what it wrote.
#include "app/png_folder_sink.h"

#include <cstdio>
#include <filesystem>

#include "app/wav_file.h"
#include "app/whole_file.h"

namespace vorn {

namespace {

namespace fs = std::filesystem;

class PngFolderSink : public FileSink {
 public:
  explicit PngFolderSink(std::string dir) : dir_(std::move(dir)) {}

  bool open(std::string& error) override {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec || !fs::is_directory(dir_)) {
      error = "cannot create directory " + dir_ + (ec ? ": " + ec.message() : "");
      return false;
    }
    const std::string probe = dir_ + "/.vorndemo-write-test";
    if (!writeWholeFile(probe, "", 0, error)) return false;
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

}  // namespace

std::unique_ptr<FileSink> makePngFolderSink(const std::string& dir) { return std::make_unique<PngFolderSink>(dir); }

}  // namespace vorn
