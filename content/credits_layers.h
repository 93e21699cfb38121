// The credits scene's picture layers as data: the script adds them in this
// order, and tests of the pictures read where and how each one slides.
#pragma once

#include "app/scene.h"
#include "content/picture_layer.h"
#include "fx/screen_size.h"

namespace vorn {

// One addLayer call: the picture (relative to the run directory), its
// rectangle in screen pixels, its SlideKind and its slide times.
struct LayerRecipe {
  const char* picture;
  int x, y, width, height;
  SlideKind kind;
  float inTime, holdTime, outTime;  // entry-local seconds
};

// Six pairs in turn: a picture and its caption enter from opposite sides.
inline const LayerRecipe kCreditsLayers[kMaxLayers] = {
    {"scenes/jostu.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 2, 3, 4},
    {"scenes/jostucredits.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromLeft, 2, 3, 4},
    {"scenes/prog.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromTop, 5, 6, 7},
    {"scenes/progcredits.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 5, 6, 7},
    {"scenes/melti.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 7, 8, 9},
    {"scenes/melticredits.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromLeft, 7, 8, 9},
    {"scenes/rekoni.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromLeft, 9, 10, 11},
    {"scenes/hobrikcredits.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 9, 10, 11},
    {"scenes/vaske.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 11, 12, 13},
    {"scenes/vaskeharppu.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromLeft, 11, 12, 13},
    {"scenes/ondri.png", 0, 472, 128, 128, SlideFromLeft, 13, 14, 15},
    {"scenes/ondricredits.png", 0, 0, kScreenWidth, kScreenHeight, SlideFromRight, 13, 14, 15},
};

}  // namespace vorn
