// The Engine's frame on the real GL: modes, overlapping entries, transitions
// replacing the mode's picture, and layers drawn last.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/engine.h"
#include "app/scene.h"
#include "scene/generated_mesh.h"
#include "scene/geometry.h"
#include "scene/material.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

// One Engine (and so one display) per test process; no production.
class TimelineDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    static Engine* shared = nullptr;
    if (!shared) shared = new Engine(DisplayOptions{800, 600, 32, false}, nullptr);
    engine = shared;
    ASSERT_TRUE(engine->ok()) << "no display for the Engine";
    engine->entryCount = 0;
  }

  // A Scene whose set-up camera sees a flat-coloured square of the given half size.
  Scene* colouredScene(float r, float g, float b, float half) {
    auto* material = keep(new Material());
    material->setColour(r, g, b, 1.0f);
    material->setFlag(FlatShade, 1);
    auto* mesh = keep(new GeneratedMesh());
    mesh->setFormat(GL_T2F_N3F_V3F);
    mesh->setMaterial(material);
    GeometryGenerator().addQuad(*mesh, half, half);
    auto* scene = keep(new Scene());
    scene->setup(StandardCamera);
    scene->addNode(mesh);
    return scene;
  }

  // A screen-space layer: a white square of 100 x 100 pixels at the top left.
  Node* whiteLayer() {
    auto* material = keep(new Material());
    material->setColour(1.0f, 1.0f, 1.0f, 1.0f);
    auto* mesh = keep(new GeneratedMesh());
    mesh->setFormat(GL_T2F_N3F_V3F);
    mesh->setMaterial(material);
    GeometryGenerator().addQuad(*mesh, 1.0f, 1.0f);
    mesh->setPosition(50.0f, 50.0f, 0.0f);
    mesh->setScale(50.0f, -50.0f, 0.0f);
    return mesh;
  }

  void add(float start, float end, RenderMode mode, Scene* scene, FadeKind inKind = FadeNone, float inLength = 0.0f,
           FadeKind outKind = FadeNone, float outLength = 0.0f) {
    TimelineEntry e;
    e.start = start;
    e.end = end;
    e.mode = mode;
    e.scene = scene;
    e.fadeInKind = inKind;
    e.fadeInLength = inLength;
    e.fadeOutKind = outKind;
    e.fadeOutLength = outLength;
    ASSERT_TRUE(engine->appendEntry(e));
  }

  test::Rgba frameAt(float t, int x, int yFromTop) {
    engine->clearFrame();
    engine->drawTimeline(t);
    return test::readPixelTop(x, yFromTop);
  }

  template <typename T>
  T* keep(T* object) {
    owned.emplace_back(object, [](void* p) { delete static_cast<T*>(p); });
    return object;
  }

  Engine* engine = nullptr;
  std::vector<std::unique_ptr<void, void (*)(void*)>> owned;
};

TEST_F(TimelineDraw, PlainEntryDrawsOverTheFeedbackPicture) {
  add(0.0f, 22.0f, RenderFeedback, colouredScene(0.5f, 0.0f, 0.0f, 20.0f));
  add(0.0f, 22.0f, RenderPlain, colouredScene(0.0f, 1.0f, 0.0f, 5.0f));
  const test::StackDepths before = test::stackDepths();
  const test::Rgba centre = frameAt(10.0f, 400, 300);
  const test::Rgba corner = test::readPixelTop(20, 20);
  EXPECT_GT(centre.g, 200);
  EXPECT_LT(centre.r, 40);
  // Five additive feedback layers of the captured red (0.5) saturate it.
  EXPECT_GT(corner.r, 200);
  EXPECT_LT(corner.g, 40);
  EXPECT_EQ(test::stackDepths(), before);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TimelineDraw, LaterEffectEntryReplacesEarlierPicture) {
  add(0.0f, 10.0f, RenderPlain, colouredScene(0.0f, 1.0f, 0.0f, 20.0f));
  add(0.0f, 10.0f, RenderPixelateInOut, colouredScene(0.0f, 0.0f, 1.0f, 20.0f));
  const test::Rgba p = frameAt(5.0f, 400, 300);
  EXPECT_LT(p.g, 30) << "the plain picture must be cleared away";
  EXPECT_GT(p.b, 150);
}

TEST_F(TimelineDraw, InactiveEntriesDrawNothingAndBoundsAreIncluded) {
  add(10.0f, 20.0f, RenderPlain, colouredScene(1.0f, 1.0f, 1.0f, 20.0f));
  EXPECT_EQ(frameAt(9.99f, 400, 300).r, 0);
  EXPECT_GT(frameAt(10.0f, 400, 300).r, 200);
  EXPECT_GT(frameAt(20.0f, 400, 300).r, 200);
  EXPECT_EQ(frameAt(20.01f, 400, 300).r, 0);
}

TEST_F(TimelineDraw, LayersComeAfterEveryEntryAndModeElevenDrawsOnlyThem) {
  Scene* withLayer = colouredScene(1.0f, 0.0f, 0.0f, 20.0f);
  withLayer->appendLayer(whiteLayer());
  add(0.0f, 10.0f, static_cast<RenderMode>(11), withLayer);
  add(0.0f, 10.0f, RenderGlow, colouredScene(0.0f, 0.0f, 1.0f, 20.0f));
  const test::Rgba layer = frameAt(5.0f, 50, 50);
  EXPECT_GT(layer.r, 240);
  EXPECT_GT(layer.g, 240);
  const test::Rgba outside = test::readPixelTop(400, 300);
  EXPECT_LT(outside.r, 30) << "mode 11 draws no picture of its own";
  EXPECT_GT(outside.b, 100);
}

TEST_F(TimelineDraw, FadeOutPictureReplacesTheModePicture) {
  // A bar wipe at g = 0.5 (local 9 of 10 with a 2-second fade): two black bars
  // over the left half, the picture on the right.
  add(0.0f, 10.0f, RenderPlain, colouredScene(0.0f, 1.0f, 0.0f, 20.0f), FadeNone, 0.0f, FadeBarWipe, 2.0f);
  EXPECT_LT(frameAt(9.0f, 100, 300).g, 20);
  EXPECT_GT(test::readPixelTop(700, 300).g, 200);
  // Before the fade is due the plain picture shows everywhere.
  EXPECT_GT(frameAt(7.0f, 100, 300).g, 200);
}

TEST_F(TimelineDraw, BarWipeIsNoFadeIn) {
  add(0.0f, 10.0f, RenderPlain, colouredScene(0.0f, 1.0f, 0.0f, 20.0f), FadeBarWipe, 5.0f);
  EXPECT_GT(frameAt(1.0f, 100, 300).g, 200);
}

TEST_F(TimelineDraw, FeedbackSetsMaterialAlphaFromLayerCount) {
  add(0.0f, 1.0f, RenderPlain, colouredScene(0.0f, 0.0f, 0.0f, 1.0f));
  engine->drawFeedback(0, 5.9f);
  EXPECT_FLOAT_EQ(engine->effectMaterial->colour.a, 1.0f / 5.9f);
  EXPECT_EQ(engine->effectMaterial->textures[0], engine->renderTargets[0].get());
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(TimelineDraw, AppendingPastCapacityIsRefused) {
  Scene* s = colouredScene(0.0f, 0.0f, 0.0f, 1.0f);
  for (int i = 0; i < kMaxTimelineEntries; ++i) add(0.0f, 1.0f, RenderPlain, s);
  TimelineEntry extra;
  extra.scene = s;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(engine->appendEntry(extra));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(engine->entryCount, kMaxTimelineEntries);
  EXPECT_NE(err.find("timeline full"), std::string::npos);
}

TEST_F(TimelineDraw, ClearBuffersCodes) {
  glViewport(0, 0, 100, 100);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  for (int other : {0, 1, -3}) engine->clearBuffers(static_cast<ClearCode>(other));
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 100);
  engine->clearBuffers(ClearKeepingViewport);  // clears the whole window while the viewport stays small
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 100);
  EXPECT_EQ(test::readPixelTop(700, 500).r, 255);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  engine->clearBuffers(ClearWithFullViewport);
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 800);
  EXPECT_EQ(test::readPixelTop(700, 500).r, 0);
}

}  // namespace
}  // namespace vorn
