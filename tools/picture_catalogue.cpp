// The catalogue of pictures and writePictures, which draws each one and
// writes it as an 8-bit RGBA PNG under <dir>/scenes/.
#include "tools/picture_catalogue.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tools/assets.h"
#include "tools/png_writer.h"

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

bool writePictures(const std::string& dir) {
  const std::filesystem::path scenes = std::filesystem::path(dir) / "scenes";
  std::error_code error;
  std::filesystem::create_directories(scenes, error);
  for (const picture::PictureEntry& entry : picture::pictureCatalogue()) {
    const std::string path = (scenes / entry.file).string();
    if (error) {
      std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.message().c_str());
      return false;
    }
    const picture::Canvas canvas = entry.draw(entry);
    if (!writePng(path, canvas.width(), canvas.height(), canvas.toRgba8())) return false;
  }
  return true;
}

}  // namespace assets

}  // namespace vorn
