// The catalogue of pictures and writePictures, which draws each one and
// writes it as an 8-bit RGBA PNG under <dir>/scenes/.
#include "tools/picture/catalogue.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/png_file.h"
#include "tools/assets.h"

namespace vorn {

namespace picture {

const std::vector<PictureEntry>& pictureCatalogue() {
  // Built once on first use and kept for the life of the process.
  static const std::vector<PictureEntry> catalogue = [] {
    std::vector<PictureEntry> all = modelTextureEntries();
    for (auto* group : {planeEntries, layerEntries}) {
      std::vector<PictureEntry> more = group();
      all.insert(all.end(), more.begin(), more.end());
    }
    return all;
  }();
  return catalogue;
}

}  // namespace picture

namespace assets {

namespace {

constexpr unsigned kWorkers = 2;  // pictures drawn at once; each is independent of the others

}  // namespace

bool writePictures(const std::string& dir) {
  const std::filesystem::path scenes = std::filesystem::path(dir) / "scenes";
  const std::vector<picture::PictureEntry>& catalogue = picture::pictureCatalogue();
  std::error_code error;
  std::filesystem::create_directories(scenes, error);
  if (error) {
    const std::string path = (scenes / catalogue.front().file).string();
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.message().c_str());
    return false;
  }
  // Workers take the next picture in turn. After a failure no further picture
  // is started, and only the first failure is reported.
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex reportLock;
  std::string report;
  auto work = [&] {
    for (std::size_t i = next++; i < catalogue.size() && !failed; i = next++) {
      const picture::PictureEntry& entry = catalogue[i];
      const picture::Canvas canvas = entry.draw(entry);
      std::string failure;
      if (writePng((scenes / entry.file).string(), canvas.width(), canvas.height(), canvas.toRgba8(), failure))
        continue;
      failed = true;
      const std::lock_guard<std::mutex> lock(reportLock);
      if (report.empty()) report = failure;
    }
  };
  std::vector<std::thread> workers;
  for (unsigned w = 1; w < kWorkers; ++w) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();
  if (failed) std::fprintf(stderr, "%s\n", report.c_str());
  return !failed;
}

}  // namespace assets

}  // namespace vorn
