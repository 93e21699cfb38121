// The Engine's frame: every active entry in its render mode with its
// transitions, then the layers of every active Scene, then a flush.
#include <GL/gl.h>

#include "app/engine.h"
#include "app/timeline.h"
#include "fx/render_pyramid.h"
#include "fx/screen_effects.h"
#include "platform/added_passes.h"

namespace vorn {

namespace {

constexpr float kGlowValue = 0.4f;
constexpr float kFeedbackLayers = 5.0f;
constexpr float kFeedbackLayerStep = -0.1f;
constexpr float kFeedbackHalfSize = 55.0f;

}  // namespace

void Engine::drawTimeline(float t) {
  if (display_.test.stillTime) t = *display_.test.stillTime;
  clearBuffers(ClearWithFullViewport);

  for (int i = 0; i < entryCount; ++i) {
    const TimelineEntry& e = entries[i];
    if (!entryActive(e, t)) continue;
    currentScene = e.scene;
    const float local = t - e.start;
    const float duration = e.end - e.start;

    switch (e.mode) {
      case RenderPlain:
        glClear(GL_DEPTH_BUFFER_BIT);
        currentScene->render(local);
        break;
      case RenderFeedback:
        glClear(GL_DEPTH_BUFFER_BIT);
        renderToTexture(0, currentScene, local);
        clearBuffers(ClearWithFullViewport);
        drawFeedback(0, kFeedbackLayers);
        break;
      case RenderGlow: effectPass(currentScene, local, EffectGlow, kGlowValue); break;
      case RenderRadial: effectPass(currentScene, local, EffectRadial, 0.0f); break;
      case RenderPixelateInOut:
        effectPass(currentScene, local, EffectPixelate, rampValue(local, duration, true));
        break;
      case RenderGlowOut: effectPass(currentScene, local, EffectGlow, rampValue(local, duration, false)); break;
      case RenderGlowInOut: effectPass(currentScene, local, EffectGlow, rampValue(local, duration, true)); break;
      case RenderRadialGlowPulse: effectPass(currentScene, local, EffectRadialGlow, pulseValue(local)); break;
      case RenderTileWavePulse: effectPass(currentScene, local, EffectTileWave, pulseValue(local)); break;
      case RenderLensPulse: effectPass(currentScene, local, EffectLens, pulseValue(local)); break;
      case RenderPixelateGlowFade: {
        // A zero-length entry would divide by zero; it shows the fade's end instead.
        const float v = duration != 0.0f ? 1.0f - local / duration : 0.0f;
        effectPass(currentScene, local, EffectPixelateGlow, v);
        break;
      }
      default: break;
    }

    // A transition passes its fraction as both the value and the time. A kind
    // with no effect in that direction makes no pass at all.
    const float f = fadeInFraction(e, local);
    const EffectType in = fadeInEffect(e.fadeInKind);
    if (f >= 0.0f && in != EffectNone) effectPass(currentScene, f, in, f);
    const float g = fadeOutFraction(e, local);
    const EffectType out = fadeOutEffect(e.fadeOutKind);
    if (g >= 0.0f && out != EffectNone) effectPass(currentScene, g, out, g);
  }

  for (int i = 0; i < entryCount; ++i) {
    const TimelineEntry& e = entries[i];
    if (!entryActive(e, t)) continue;
    currentScene = e.scene;
    currentScene->drawLayers(t - e.start);
  }

  glFlush();
}

void Engine::effectPass(Scene* scene, float t, EffectType effect, float value) {
  beginCapture();
  scene->render(t);
  endCapture();
  buildPyramid();
  clearBuffers(ClearKeepingViewport);
  drawEffect(effect, t, value);
  endPyramidPass();
}

void Engine::drawFeedback(int target, float layers) {
  feedbackScene->render(0.0f);
  effectMaterial->setColour(1.0f, 1.0f, 1.0f, 1.0f / layers);
  effectMaterial->setTexture(0, renderTarget(target));
  effectMaterial->apply();
  glDisable(GL_CULL_FACE);

  const int count = static_cast<int>(layers);
  beginAddedPasses();
  for (int j = 0; j < count; ++j) {
    const float z = static_cast<float>(j) * kFeedbackLayerStep;
    glBegin(GL_TRIANGLE_FAN);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-kFeedbackHalfSize, -kFeedbackHalfSize, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(kFeedbackHalfSize, -kFeedbackHalfSize, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(kFeedbackHalfSize, kFeedbackHalfSize, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-kFeedbackHalfSize, kFeedbackHalfSize, z);
    glEnd();
  }
  endAddedPasses();
}

}  // namespace vorn
