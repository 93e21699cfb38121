// Engine: opens the display, owns the render targets, the effect Material,
// the feedback Scene and the timeline, and draws a frame of the timeline.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/display.h"
#include "app/frame_target.h"
#include "app/scene.h"
#include "app/timeline.h"
#include "fx/screen_effects.h"
#include "fx/screen_size.h"
#include "res/texture.h"
#include "scene/material.h"

namespace vorn {

constexpr int kRenderTargets = 4;
constexpr int kRenderTargetSize = 512;

class Engine;
// Builds the production into the Engine. It runs before the display is open
// and must make no GL call: Textures and models made from files are loaded
// through the active LoadQueue and arrive before the Engine is done.
using ProductionScript = void (*)(Engine&);

// What clearBuffers clears; any other value clears nothing.
enum ClearCode : int {
  ClearWithFullViewport = -1,  // viewport to the whole display, then colour and depth
  ClearKeepingViewport = -2,   // colour and depth, viewport unchanged
};

// Switches for tests, from VORN_TEST_* in the environment, which only the
// program's entry reads.
struct TestHooks {
  bool noFramebufferObjects = false;  // VORN_TEST_NO_FBO: draw as when the driver has none
  bool reportDisplay = false;  // VORN_TEST_DISPLAY_REPORT: one line on stderr on the display, at start and each resize
  std::optional<float> stillTime;  // VORN_TEST_STILL: every frame drawn at this demo time, seconds
};

struct DisplayOptions {
  int width = kScreenWidth;  // the frame every pass draws, pixels
  int height = kScreenHeight;
  int bitsPerPixel = 32;
  bool fullScreen = true;  // at the desktop's current size
  int windowWidth = 0;     // first size of a window; 0: the frame's size
  int windowHeight = 0;
  bool resizable = false;  // the user may resize the window; the picture follows
  bool vsync = true;       // the swap waits for the display's refresh
  // Draw into an off-screen frame and present it scaled. Offline modes draw
  // straight into their window of the frame's size instead: Mesa's software
  // rasteriser rounds a few interpolated colours one step differently in a
  // framebuffer object than in a window (stored upside down), and captures
  // must stay pixel-identical to earlier ones.
  bool offScreen = true;
  // DISPLAY as the program's entry found it ("unset" when it was), named
  // when no display opens; empty: not known.
  std::string displayVariable = {};
  TestHooks test = {};
};

class Engine {
 public:
  // Runs the production script, opens the display and builds everything
  // else, then takes over the files the script asked for. When SDL video,
  // the GL context or multitexture cannot be had, prints one line on stderr
  // and stops before any GL call: ok() is then false. With
  // display.offScreen every pass draws into an off-screen frame of width x
  // height; without framebuffer objects (or with test.noFramebufferObjects)
  // one line on stderr says so and the display is re-opened at the frame's
  // size to draw directly.
  Engine(const DisplayOptions& display, ProductionScript script);
  virtual ~Engine();  // SDL_Quit
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  bool ok() const { return ok_; }

  void clearFrame();
  // Follows a window resize, shows the frame scaled into the window, swaps.
  void swapFrame();
  int vsyncAsked() const { return display_.vsync ? 1 : 0; }
  void clearBuffers(ClearCode code);
  void renderToTexture(int target, Scene* scene, float time);
  // Render target n (0 .. kRenderTargets - 1), made (transparent black, with
  // its mipmaps) the first time it is asked for; target 0 exists from the start.
  Texture* renderTarget(int n);
  void drawTimeline(float t);
  void effectPass(Scene* scene, float t, EffectType effect, float value);
  void drawFeedback(int target, float layers);
  // Appends a copy of entry; refused with one line on stderr when all 256 are used.
  bool appendEntry(const TimelineEntry& entry);

  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  int entryCount = 0;
  TimelineEntry entries[kMaxTimelineEntries];
  std::unique_ptr<Texture> renderTargets[kRenderTargets];  // see renderTarget()
  std::unique_ptr<Material> effectMaterial;
  Scene* currentScene = nullptr;  // the entry being drawn; working state of one frame
  std::unique_ptr<Scene> feedbackScene;

 private:
  void followResize();

  bool ok_ = false;
  DisplayOptions display_;
  SurfaceSize surface_;
  std::unique_ptr<FrameTarget> frame_;  // null when drawing straight into the window
};

}  // namespace vorn
