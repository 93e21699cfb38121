// Engine construction (the production, its files read on other threads
// while the display, off-screen frame, entry points, effect Material,
// feedback Scene, pyramid and first render target are made), the render
// targets, the per-frame clears and the frame's presentation.
#include "app/engine.h"

#include <GL/glext.h>
#include <SDL/SDL.h>

#include <cstdio>

#include "fx/render_pyramid.h"
#include "platform/captured_drawing.h"
#include "platform/gl_procs.h"
#include "platform/window_events.h"
#include "res/load_queue.h"

namespace vorn {

namespace {

// One line on stderr describing the display, for tests and bug reports.
void reportDisplay(const SurfaceSize& s, const Engine& e, const FrameTarget* frame) {
  const SDL_version* v = SDL_Linked_Version();
  GLint depth = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  std::fprintf(
      stderr,
      "vorndemo: display %dx%d, frame %dx%d %s, depth %d bits, swap control asked %d, SDL reports %d, SDL %d.%d.%d\n",
      s.width, s.height, e.width, e.height, frame ? "off screen" : "direct", static_cast<int>(depth), e.vsyncAsked(),
      reportedSwapControl(), v->major, v->minor, v->patch);
}

}  // namespace

Engine::Engine(const DisplayOptions& display, ProductionScript script) : display_(display) {
  height = display.height;
  width = display.width;
  bitsPerPixel = display.bitsPerPixel;
  currentScene = nullptr;

  // The production is built before the display opens: it makes no GL call,
  // and the pictures and models it names are read on other threads while
  // the display opens, then taken over by the GL at the end. If the display
  // cannot be opened the queue drops them.
  LoadQueue loading;
  if (script) script(*this);

  if (!openDisplay(display, surface_)) return;
  std::string why = "framebuffer objects turned off (VORN_TEST_NO_FBO)";
  if (display.offScreen && !display.test.noFramebufferObjects) {
    why = "the OpenGL driver has no framebuffer objects";
    if (gl::loadFramebufferObject()) frame_ = FrameTarget::create(display.width, display.height, why);
  }
  if (!frame_ && display.offScreen) {
    std::fprintf(stderr, "vorndemo: %s; drawing straight into an %dx%d %s\n", why.c_str(), display.width,
                 display.height, display.fullScreen ? "full-screen mode" : "window");
    if (!openDirectDisplay(display, surface_)) return;
  }
  if (!gl::loadMultitexture()) {
    std::fprintf(stderr, "vorndemo: the OpenGL driver lacks ARB multitexture (glActiveTextureARB)\n");
    return;
  }
  ok_ = true;
  gl::loadTextureStorage();

  effectMaterial = std::make_unique<Material>();
  effectMaterial->setFlag(AdditiveBlend, 1);
  effectMaterial->setFlag(DepthTest, 0);
  effectMaterial->setFlag(FlatShade, 1);
  effectMaterial->setFlag(Textured, 1);
  effectMaterial->setFlag(SphereMap, 0);
  effectMaterial->setColour(1.0f, 1.0f, 1.0f, 0.2f);
  effectMaterial->setFlag(TextureMode, 0);

  feedbackScene = std::make_unique<Scene>();
  feedbackScene->setup(FeedbackCamera);

  if (frame_) frame_->bind();
  if (display_.test.reportDisplay) reportDisplay(surface_, *this, frame_.get());

  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  createPyramid();
  renderTarget(0);  // the feedback entries' target, made before the first frame
  loading.finish();
}

Engine::~Engine() {
  frame_.reset();  // its GL objects go while the context exists
  SDL_Quit();
}

void Engine::clearFrame() {
  glViewport(0, 0, width, height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Engine::swapFrame() {
  if (frame_) {
    followResize();
    frame_->present(surface_.width, surface_.height);
  }
  SDL_GL_SwapBuffers();
  if (frame_) frame_->bind();
}

void Engine::followResize() {
  int w = 0, h = 0;
  if (!display_.resizable || !takeWindowResize(w, h)) return;
  if (w == surface_.width && h == surface_.height) return;
  if (!resizeDisplay(display_, w, h, surface_)) return;
  // Both SDL 1.2 libraries keep the GL context when a window is re-sized; a
  // library that made a new one would have dropped every texture of the show.
  if (!frame_->alive()) std::fprintf(stderr, "vorndemo: the GL context was replaced when the window was resized\n");
  if (display_.test.reportDisplay) reportDisplay(surface_, *this, frame_.get());
}

void Engine::clearBuffers(ClearCode code) {
  if (code == ClearWithFullViewport) {
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  } else if (code == ClearKeepingViewport) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
}

Texture* Engine::renderTarget(int n) {
  std::unique_ptr<Texture>& target = renderTargets[n];
  if (!target) {
    target = std::make_unique<Texture>(kRenderTargetSize, kRenderTargetSize);
    target->upload();
  }
  return target.get();
}

void Engine::renderToTexture(int target, Scene* scene, float time) {
  // The target is made at its first copy, after the drawing.
  beginCapturedDrawing(renderTargets[target] ? renderTargets[target]->glName() : 0);
  glViewport(0, 0, kRenderTargetSize, kRenderTargetSize);
  if (scene) scene->render(time);
  renderTarget(target)->bind();
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kRenderTargetSize, kRenderTargetSize);
  endCapturedDrawing();
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
