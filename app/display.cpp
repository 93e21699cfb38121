// SDL 1.2 display set-up, with the classic library or sdl12-compat.
#include "app/display.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <string>

#include "app/engine.h"

namespace vorn {

namespace {

Uint32 modeFlags(const DisplayOptions& d) {
  Uint32 flags = SDL_OPENGL;
  if (d.fullScreen)
    flags |= SDL_FULLSCREEN;
  else if (d.resizable)
    flags |= SDL_RESIZABLE;
  return flags;
}

bool setMode(int width, int height, int bitsPerPixel, Uint32 flags, SurfaceSize& size) {
  SDL_Surface* surface = SDL_SetVideoMode(width, height, bitsPerPixel, flags);
  if (!surface) return false;
  size.width = surface->w;
  size.height = surface->h;
  return true;
}

}  // namespace

bool openDisplay(const DisplayOptions& d, SurfaceSize& size) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const std::string variable = d.displayVariable.empty() ? "" : " (DISPLAY=" + d.displayVariable + ")";
    std::fprintf(stderr, "vorndemo: no display%s: %s; run it under X, or through scripts/with-display.sh\n",
                 variable.c_str(), SDL_GetError());
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
#ifndef __EMSCRIPTEN__
  // The browser's SDL has no swap control (it aborts on the attribute); the
  // page's own frame pacing stands in for it there.
  SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, d.vsync ? 1 : 0);
#endif

  // Full screen asks for the desktop's current size, so the display's mode is
  // never switched. The classic library reads width and height 0 that way,
  // but sdl12-compat then makes a 1 x 1 window that only a window manager
  // would enlarge, so the size is asked for explicitly when SDL knows it.
  int width = d.windowWidth > 0 ? d.windowWidth : d.width;
  int height = d.windowHeight > 0 ? d.windowHeight : d.height;
  if (d.fullScreen) {
    const SDL_VideoInfo* desktop = SDL_GetVideoInfo();
    width = desktop ? desktop->current_w : 0;
    height = desktop ? desktop->current_h : 0;
  }
  if (!setMode(width, height, d.bitsPerPixel, modeFlags(d), size)) {
    std::fprintf(stderr, "vorndemo: no OpenGL %s %dx%dx%d: %s\n", d.fullScreen ? "full-screen surface" : "window",
                 width, height, d.bitsPerPixel, SDL_GetError());
    return false;
  }
  return true;
}

bool openDirectDisplay(const DisplayOptions& d, SurfaceSize& size) {
  const Uint32 flags = SDL_OPENGL | (d.fullScreen ? SDL_FULLSCREEN : 0);
  if (!setMode(d.width, d.height, d.bitsPerPixel, flags, size)) {
    std::fprintf(stderr, "vorndemo: no OpenGL video mode %dx%dx%d: %s\n", d.width, d.height, d.bitsPerPixel,
                 SDL_GetError());
    return false;
  }
  return true;
}

bool resizeDisplay(const DisplayOptions& d, int width, int height, SurfaceSize& size) {
  if (width <= 0 || height <= 0) return false;
  return setMode(width, height, d.bitsPerPixel, modeFlags(d), size);
}

int reportedSwapControl() {
  int value = -1;
#ifndef __EMSCRIPTEN__
  if (SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &value) != 0) return -1;
#endif
  return value;
}

}  // namespace vorn
