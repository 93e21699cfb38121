// The twenty-six pictures of the show: their files, sizes and what each
// promises about its layout, with the routine that draws it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/picture/canvas.h"

namespace vorn::picture {

enum class PictureKind {
  ModelTexture,  // square power-of-two, wraps around a 3DS model (repeating)
  Plane,         // square, fills the view on a picture plane; opaque
  Layer,         // screen-space overlay, see-through outside its panel
};

struct PictureEntry {
  std::string file;  // name under scenes/
  int width = 0, height = 0;
  PictureKind kind = PictureKind::ModelTexture;
  bool tiles = false;   // the picture repeats without a visible seam
  Rect solid;           // fully opaque everywhere inside (layers: inside their panel)
  Rect caption;         // where the main line of text lies; empty when the picture has none
  Colour textColour{};  // colour of the main line of text, where it is not smoothed or outlined
  std::string text;     // the words drawn on the picture, joined by '\n'; each character needs a glyph
  std::function<Canvas(const PictureEntry&)> draw;
};

// Every picture, in writing order.
const std::vector<PictureEntry>& pictureCatalogue();

// The program's icon (not one of the show's pictures): the title picture
// averaged down to 256 x 256 on a rounded square, transparent outside.
Canvas drawIcon();

// The pictures of each group; the catalogue joins them.
std::vector<PictureEntry> modelTextureEntries();
std::vector<PictureEntry> planeEntries();
std::vector<PictureEntry> layerEntries();

}  // namespace vorn::picture
