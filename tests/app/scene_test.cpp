// Scene: camera set-up per mode, the node pass (order, camera first, a node
// listed twice), the layer pass in screen space, and the 12-layer limit.
#include "app/scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "tests/scene/view_math.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

// What a Probe saw when it was updated or rendered.
struct Event {
  std::string what;  // "update A" or "render A"
  float time = 0.0f;
  test::StackDepths depths{};
  std::array<GLfloat, 16> projection{};
  GLint viewport[4] = {};
};

// A Node that logs its update and render calls with the GL state at that moment.
class Probe : public Node {
 public:
  Probe(const char* name, std::vector<Event>* log) : name_(name), log_(log) {}
  void update(float t) override {
    record("update", t);
    Node::update(t);
  }
  void render() override { record("render", currentTime); }

 private:
  void record(const char* kind, float t) {
    Event e;
    e.what = std::string(kind) + " " + name_;
    e.time = t;
    e.depths = test::stackDepths();
    e.projection = test::getMatrix(GL_PROJECTION_MATRIX);
    glGetIntegerv(GL_VIEWPORT, e.viewport);
    log_->push_back(e);
  }
  const char* name_;
  std::vector<Event>* log_;
};

std::vector<std::string> names(const std::vector<Event>& log) {
  std::vector<std::string> out;
  for (const auto& e : log) out.push_back(e.what);
  return out;
}

TEST(SceneSetup, KeysACameraForModes0And2) {
  struct Row {
    SceneSetup mode;
    float z;
    float nearPlane;
  };
  const Row rows[] = {{StandardCamera, -20.0f, 1.0f}, {FeedbackCamera, -5.0f, 0.1f}};
  for (const auto& row : rows) {
    SCOPED_TRACE("mode " + std::to_string(row.mode));
    Scene scene;
    scene.setup(row.mode);
    ASSERT_NE(scene.camera, nullptr);
    const Camera& c = *scene.camera;
    ASSERT_EQ(c.positionTrack.keyCount(), 1);
    ASSERT_EQ(c.rotationTrack.keyCount(), 1);
    ASSERT_EQ(c.scaleTrack.keyCount(), 1);
    const Key& p = c.positionTrack.key(0);
    const Key& r = c.rotationTrack.key(0);
    const Key& s = c.scaleTrack.key(0);
    EXPECT_EQ(p.time, 0.0f);
    EXPECT_EQ(r.time, 0.0f);
    EXPECT_EQ(s.time, 0.0f);
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_EQ(p.z, row.z);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.y, 0.0f);
    EXPECT_EQ(r.z, 0.0f);
    EXPECT_EQ(s.x, 1.0f);
    EXPECT_EQ(s.y, 1.0f);
    EXPECT_EQ(s.z, row.nearPlane);
    EXPECT_EQ(c.position.z, row.z);
    EXPECT_EQ(c.scale.z, row.nearPlane);
  }
}

TEST(SceneSetup, OtherModesLeaveTheCameraAndASecondSetupReplacesIt) {
  Scene scene;
  for (int mode : {-1, 1, 3, 7}) {
    scene.setup(static_cast<SceneSetup>(mode));
    EXPECT_EQ(scene.camera, nullptr) << "mode " << mode;
  }
  scene.setup(StandardCamera);
  Camera* first = scene.camera;
  ASSERT_NE(first, nullptr);
  for (int mode : {1, 3}) {
    scene.setup(static_cast<SceneSetup>(mode));
    EXPECT_EQ(scene.camera, first) << "mode " << mode;
  }
  scene.setup(FeedbackCamera);
  ASSERT_NE(scene.camera, nullptr);
  EXPECT_NE(scene.camera, first);
  EXPECT_EQ(scene.camera->position.z, -5.0f);
  // The earlier camera is not destroyed: whoever still refers to it may use it.
  EXPECT_EQ(first->position.z, -20.0f);
  EXPECT_EQ(first->positionTrack.keyCount(), 1);
  delete first;
  delete scene.camera;
}

TEST(SceneLayers, AThirteenthLayerIsRefused) {
  std::vector<Event> log;
  std::vector<std::unique_ptr<Probe>> probes;
  Scene scene;
  for (int i = 0; i < kMaxLayers; ++i) {
    probes.push_back(std::make_unique<Probe>("layer", &log));
    EXPECT_TRUE(scene.appendLayer(probes.back().get()));
    EXPECT_EQ(scene.layerCount, i + 1);
  }
  Probe extra("extra", &log);
  EXPECT_FALSE(scene.appendLayer(&extra));
  EXPECT_EQ(scene.layerCount, kMaxLayers);
  for (int i = 0; i < kMaxLayers; ++i) EXPECT_EQ(scene.layers[i], probes[static_cast<size_t>(i)].get());
}

class SceneRender : public test::GlTest {};

TEST_F(SceneRender, CameraFirstThenEachNodeUpdatedAndDrawnInListOrder) {
  std::vector<Event> log;
  Probe a("A", &log), b("B", &log);
  Scene scene;
  scene.setup(StandardCamera);
  scene.addNode(&a);
  scene.addNode(&b);
  scene.addNode(&a);
  glMatrixMode(GL_PROJECTION);
  glOrtho(-9.0, 9.0, -9.0, 9.0, -9.0, 9.0);
  scene.render(3.5f);

  const std::vector<std::string> expected = {"update A", "render A", "update B", "render B", "update A", "render A"};
  EXPECT_EQ(names(log), expected);
  const float scale[3] = {1, 1, 1}, rot[3] = {0, 0, 0}, pos[3] = {0, 0, -20};
  for (const auto& e : log) {
    SCOPED_TRACE(e.what);
    EXPECT_EQ(e.time, 3.5f);
    test::expectMatrixNear(e.projection, test::cameraProjection(scale, rot, pos, kCameraFar));
  }
  delete scene.camera;
}

TEST_F(SceneRender, CameraFollowsItsKeysAtTheGivenTime) {
  Scene scene;
  scene.setup(StandardCamera);
  Camera& c = *scene.camera;
  c.clearTracks();
  c.setPosition(0.0f, 0.0f, -20.0f);
  c.setKeyTime(0.0f);
  c.storeKeys(1, 0, 0);
  c.setPosition(0.0f, 0.0f, -40.0f);
  c.setKeyTime(10.0f);
  c.storeKeys(1, 0, 0);
  scene.render(5.0f);
  const float z = -20.0f + (-40.0f + 20.0f) * std::sin(0.5f * 1.5707963f);
  const float scale[3] = {1, 1, 1}, rot[3] = {0, 0, 0}, pos[3] = {0, 0, z};
  test::expectMatrixNear(test::getMatrix(GL_PROJECTION_MATRIX), test::cameraProjection(scale, rot, pos, kCameraFar));
  delete scene.camera;
}

TEST_F(SceneRender, FeedbackSceneOnlyLoadsItsProjection) {
  Scene scene;
  scene.setup(FeedbackCamera);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(1.0f, 2.0f, 3.0f);
  const test::StackDepths before = test::stackDepths();
  scene.render(0.0f);
  const float scale[3] = {1, 1, 0.1f}, rot[3] = {0, 0, 0}, pos[3] = {0, 0, -5};
  test::expectMatrixNear(test::getMatrix(GL_PROJECTION_MATRIX), test::cameraProjection(scale, rot, pos, kCameraFar));
  test::expectMatrixNear(test::getMatrix(GL_MODELVIEW_MATRIX), test::identity4());
  EXPECT_TRUE(test::stackDepths() == before);
  delete scene.camera;
}

TEST_F(SceneRender, WithoutACameraNodesDrawUnderTheCurrentProjection) {
  std::vector<Event> log;
  Probe a("A", &log);
  Scene scene;
  scene.addNode(&a);
  glMatrixMode(GL_PROJECTION);
  glOrtho(-2.0, 2.0, -1.0, 1.0, -3.0, 3.0);
  const auto projection = test::getMatrix(GL_PROJECTION_MATRIX);
  scene.render(1.0f);
  ASSERT_EQ(names(log), (std::vector<std::string>{"update A", "render A"}));
  EXPECT_EQ(log[1].projection, projection);
}

TEST_F(SceneRender, EachLayerIsUpdatedOutsideAndDrawnInsideItsOwnScreenSpace) {
  std::vector<Event> log;
  Probe a("A", &log), b("B", &log), c("C", &log);
  Scene scene;
  scene.appendLayer(&a);
  scene.appendLayer(&b);
  scene.appendLayer(&c);
  glMatrixMode(GL_MODELVIEW);
  const test::StackDepths before = test::stackDepths();
  const auto projection = test::getMatrix(GL_PROJECTION_MATRIX);
  scene.drawLayers(2.25f);

  const std::vector<std::string> expected = {"update A", "render A", "update B", "render B", "update C", "render C"};
  ASSERT_EQ(names(log), expected);
  // Screen space: x 0 .. 800 to -1 .. 1, y 0 .. 600 downward to 1 .. -1.
  const test::Mat4 ortho = [] {
    test::Mat4 m = test::identity4();
    m[0] = 2.0 / 800.0;
    m[5] = -2.0 / 600.0;
    m[10] = -2.0;
    m[12] = -1.0;
    m[13] = 1.0;
    m[14] = -1.0;
    return m;
  }();
  for (const auto& e : log) {
    SCOPED_TRACE(e.what);
    EXPECT_EQ(e.time, 2.25f);
    if (e.what.rfind("update", 0) == 0) {
      EXPECT_TRUE(e.depths == before) << "updated before the screen space is entered";
      EXPECT_EQ(e.projection, projection);
    } else {
      EXPECT_EQ(e.depths.projection, before.projection + 1);
      EXPECT_EQ(e.depths.modelview, before.modelview + 1);
      EXPECT_GT(e.depths.attrib, before.attrib);
      test::expectMatrixNear(e.projection, ortho);
      EXPECT_EQ(e.viewport[2], 800);
      EXPECT_EQ(e.viewport[3], 600);
    }
  }
  EXPECT_TRUE(test::stackDepths() == before) << "every enter is matched by a leave";
  glMatrixMode(GL_MODELVIEW);
}

TEST_F(SceneRender, NoLayersTouchNoState) {
  Scene scene;
  glMatrixMode(GL_TEXTURE);
  glViewport(10, 20, 300, 200);
  glEnable(GL_DEPTH_TEST);
  const test::StackDepths before = test::stackDepths();
  scene.drawLayers(1.0f);
  EXPECT_EQ(test::getInteger(GL_MATRIX_MODE), GL_TEXTURE);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 10);
  EXPECT_EQ(viewport[2], 300);
  EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
  EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
  EXPECT_TRUE(test::stackDepths() == before);
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_DEPTH_TEST);
}

TEST_F(SceneRender, AThirteenthLayerIsNeverDrawn) {
  std::vector<Event> log;
  std::vector<std::unique_ptr<Probe>> probes;
  Scene scene;
  for (int i = 0; i < kMaxLayers; ++i) {
    probes.push_back(std::make_unique<Probe>("layer", &log));
    scene.appendLayer(probes.back().get());
  }
  Probe extra("extra", &log);
  scene.appendLayer(&extra);
  scene.drawLayers(0.0f);
  EXPECT_EQ(log.size(), 2u * kMaxLayers);
  for (const auto& e : log) EXPECT_NE(e.what.find("layer"), std::string::npos);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace
}  // namespace vorn
