// Sliding screen-space picture layers: a textured 2 x 2 quad scaled to its
// pixel rectangle in the 800 x 600 y-down screen space, keyed to slide in,
// hold and slide out. Drawing them is the Scene's layer pass.
#pragma once

#include <vector>

#include "content/key_rows.h"

namespace vorn {

class GeneratedMesh;
class Scene;

enum SlideKind : int {
  SlideStatic = 0,     // rests at home
  SlideFromLeft = 1,   // enters from beyond the left edge
  SlideFromRight = 2,  // enters from just beyond x + width (the layer's own width)
  SlideFromTop = 3,    // enters from above the top edge
};

// The keys of a layer covering the rectangle (x, y, width, height) in screen
// pixels. Every row stores all three triples: rotation (0, 0, 0) and scale
// (width / 2, -(height / 2), 0), halves truncated toward zero. SlideStatic: one
// row at 0 at home (x + hw, y + hh, 0). Sliding kinds: rows at -0.1, inTime - 1,
// inTime, holdTime, outTime at off, off, home, home, off. Other kinds: no rows.
std::vector<KeyRow> layerKeyRows(int x, int y, int width, int height, SlideKind kind, float inTime, float holdTime,
                                 float outTime);

// Builds one picture layer from the picture at path (its own Texture and
// Material: AlphaBlend and Textured, texture in slot 0) and appends it to the
// Scene's layers. Returns the layer, or null without creating anything or
// reading any file when the Scene already holds all its layers.
// Needs the shared geometry (createSharedGeometry).
GeneratedMesh* addLayer(Scene& scene, const char* path, int x, int y, int width, int height, SlideKind kind,
                        float inTime, float holdTime, float outTime);

}  // namespace vorn
