// Engine construction (display, entry points, render targets, effect
// Material, feedback Scene, pyramid, production) and the per-frame clears.
#include "app/engine.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "fx/render_pyramid.h"
#include "platform/gl_procs.h"

namespace vorn {

namespace {

// Opens the video mode with the attributes the show relies on. Returns false
// after one line on stderr naming what is missing.
bool openDisplay(const DisplayOptions& d) {
  // Only SDL's X11 driver offers OpenGL; without this SDL would fall back to
  // text-mode drivers that scribble over the terminal before failing.
  setenv("SDL_VIDEODRIVER", "x11", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "vorndemo: no display (DISPLAY=%s): %s; run it under X, or through scripts/with-display.sh\n",
                 display ? display : "unset", SDL_GetError());
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  Uint32 flags = SDL_OPENGL;
  if (d.fullScreen) flags |= SDL_FULLSCREEN;
  if (!SDL_SetVideoMode(d.width, d.height, d.bitsPerPixel, flags)) {
    std::fprintf(stderr, "vorndemo: no OpenGL video mode %dx%dx%d: %s\n", d.width, d.height, d.bitsPerPixel,
                 SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace

Engine::Engine(const DisplayOptions& display, ProductionScript script) {
  if (!openDisplay(display)) return;
  height = display.height;
  width = display.width;
  bitsPerPixel = display.bitsPerPixel;
  currentScene = nullptr;
  if (!gl::loadMultitexture()) {
    std::fprintf(stderr, "vorndemo: the OpenGL driver lacks ARB multitexture (glActiveTextureARB)\n");
    return;
  }
  ok_ = true;

  for (int n = 0; n < kRenderTargets; ++n) {
    renderTargets[n] = std::make_unique<Texture>(kRenderTargetSize, kRenderTargetSize);
    renderTargets[n]->upload();
  }

  effectMaterial = std::make_unique<Material>();
  effectMaterial->setFlag(AdditiveBlend, 1);
  effectMaterial->setFlag(DepthTest, 0);
  effectMaterial->setFlag(FlatShade, 1);
  effectMaterial->setFlag(Textured, 1);
  effectMaterial->setFlag(SphereMap, 0);
  effectMaterial->setColour(1.0f, 1.0f, 1.0f, 0.2f);
  effectMaterial->setFlag(TextureMode, 0);

  feedbackScene = std::make_unique<Scene>();
  feedbackScene->setup(2);

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  createPyramid();
  if (script) script(*this);
}

Engine::~Engine() { SDL_Quit(); }

void Engine::clearFrame() {
  glViewport(0, 0, width, height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Engine::swapFrame() { SDL_GL_SwapBuffers(); }

void Engine::clearBuffers(ClearCode code) {
  if (code == ClearWithFullViewport) {
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  } else if (code == ClearKeepingViewport) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
}

void Engine::renderToTexture(int target, Scene* scene, float time) {
  glViewport(0, 0, kRenderTargetSize, kRenderTargetSize);
  if (scene) scene->render(time);
  renderTargets[target]->bind();
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kRenderTargetSize, kRenderTargetSize);
  glViewport(0, 0, width, height);
}

bool Engine::appendEntry(const TimelineEntry& entry) {
  if (entryCount >= kMaxTimelineEntries) {
    std::fprintf(stderr, "vorndemo: timeline full (%d entries); entry at %g s dropped\n", kMaxTimelineEntries,
                 static_cast<double>(entry.start));
    return false;
  }
  entries[entryCount] = entry;
  ++entryCount;
  return true;
}

}  // namespace vorn
