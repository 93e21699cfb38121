// The render-target pyramid: a chain of halving RGB textures (512 down to 4)
// filled from the back buffer, the two screen-space set-ups used by every
// full-screen pass, the full-screen quad and the additive glow.
// Module state; create once after the GL context exists.
#pragma once

#include <GL/gl.h>

#include "fx/screen_size.h"

namespace vorn {

constexpr int kPyramidBase = 512;

void createPyramid();
// Test hook: builds the chain from another base size (the program uses 512 x 512).
void createPyramidSized(int baseWidth, int baseHeight);
int pyramidLevelCount();
GLuint pyramidLevel(int k);  // texture name of level k, 0 .. count-1; 0 outside that range

void beginCapture();
void endCapture();
void buildPyramid();
void endPyramidPass();
void drawGlow(float baseAlpha, float weight, int levelAdjust);

void beginScreenSpace();
void beginScreenSpaceSized(int width, int height);
void endScreenSpace();
void drawFullScreenQuad();

}  // namespace vorn
