// Engine: opens the display, owns the render targets, the effect Material,
// the feedback Scene and the timeline, and draws a frame of the timeline.
#pragma once

#include <memory>

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
using ProductionScript = void (*)(Engine&);

// What clearBuffers clears; any other value clears nothing.
enum ClearCode : int {
  ClearWithFullViewport = -1,  // viewport to the whole display, then colour and depth
  ClearKeepingViewport = -2,   // colour and depth, viewport unchanged
};

struct DisplayOptions {
  int width = kScreenWidth;
  int height = kScreenHeight;
  int bitsPerPixel = 32;
  bool fullScreen = true;
};

class Engine {
 public:
  // Opens the display and builds everything, the production script last.
  // When SDL video, the GL context or multitexture cannot be had, prints one
  // line on stderr and stops before any GL call: ok() is then false.
  Engine(const DisplayOptions& display, ProductionScript script);
  virtual ~Engine();  // SDL_Quit
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  bool ok() const { return ok_; }

  void clearFrame();
  void swapFrame();
  void clearBuffers(ClearCode code);
  void renderToTexture(int target, Scene* scene, float time);
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
  std::unique_ptr<Texture> renderTargets[kRenderTargets];
  std::unique_ptr<Material> effectMaterial;
  Scene* currentScene = nullptr;  // the entry being drawn; working state of one frame
  std::unique_ptr<Scene> feedbackScene;

 private:
  bool ok_ = false;
};

}  // namespace vorn
