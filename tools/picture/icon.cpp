// The program's icon for desktop menus: the show's title picture (vornlogo.png)
// averaged down to the icon's size, on a rounded square that is transparent
// outside. Drawn from the catalogue's own routine, so it follows the picture.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/png_file.h"
#include "tools/assets.h"
#include "tools/picture/catalogue.h"

namespace vorn {

namespace {

constexpr int kIconSize = 256;              // pixels; the hicolor theme's 256x256 folder
constexpr float kIconCornerRadius = 40.0f;  // pixels, of the rounded square
const char* const kIconSource = "vornlogo.png";

// The average of the factor x factor block of source behind each pixel.
picture::Canvas averagedDown(const picture::Canvas& source, int factor) {
  picture::Canvas out(source.width() / factor, source.height() / factor);
  const float share = 1.0f / static_cast<float>(factor * factor);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      picture::Colour sum{0.0f, 0.0f, 0.0f, 0.0f};
      for (int j = 0; j < factor; ++j)
        for (int i = 0; i < factor; ++i) {
          const picture::Colour c = source.at(x * factor + i, y * factor + j);
          sum = {sum.r + c.r * share, sum.g + c.g * share, sum.b + c.b * share, sum.a + c.a * share};
        }
      out.set(x, y, sum);
    }
  return out;
}

}  // namespace

namespace picture {

Canvas drawIcon() {
  const std::vector<PictureEntry>& all = pictureCatalogue();
  const auto source = std::find_if(all.begin(), all.end(), [](const PictureEntry& e) { return e.file == kIconSource; });
  if (source == all.end() || source->width % kIconSize != 0 || source->width != source->height) {
    std::fprintf(stderr, "icon: %s is not a square multiple of %d pixels in the catalogue; update kIconSource\n",
                 kIconSource, kIconSize);
    std::abort();
  }
  Canvas icon = averagedDown(source->draw(*source), source->width / kIconSize);
  const float half = kIconSize * 0.5f;
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x) {
      const float inside =
          clamp01(0.5f - roundBoxSdf({x + 0.5f, y + 0.5f}, {half, half}, {half, half}, kIconCornerRadius));
      Colour c = icon.at(x, y);
      c.a *= inside;
      icon.set(x, y, c);
    }
  return icon;
}

}  // namespace picture

namespace assets {

bool writeIcon(const std::string& path) {
  const picture::Canvas icon = picture::drawIcon();
  std::string error;
  if (writePng(path, icon.width(), icon.height(), icon.toRgba8(), error)) return true;
  std::fprintf(stderr, "%s\n", error.c_str());
  return false;
}

}  // namespace assets

}  // namespace vorn
