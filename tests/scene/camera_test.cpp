// Camera: the projection it loads (compared with one computed here), the
// model-view it leaves, and where that puts objects on screen.
#include "scene/camera.h"

#include <gtest/gtest.h>

#include "tests/scene/view_math.h"
#include "tests/support/gl_context.h"

namespace vorn {
namespace {

class CameraTest : public test::GlTest {};

struct Pose {
  float scale[3];
  float rot[3];
  float pos[3];
};

void pose(Camera& camera, const Pose& p) {
  camera.setScale(p.scale[0], p.scale[1], p.scale[2]);
  camera.setRotation(p.rot[0], p.rot[1], p.rot[2]);
  camera.setPosition(p.pos[0], p.pos[1], p.pos[2]);
}

TEST_F(CameraTest, LoadsFrustumThenRotationsThenPosition) {
  struct Row {
    const char* name;
    Pose pose;
  };
  const Row rows[] = {
      {"unit frustum, no turn, at the origin", {{1, 1, 1}, {0, 0, 0}, {0, 0, 0}}},
      {"standard scene camera", {{1, 1, 1}, {0, 0, 0}, {0, 0, -20}}},
      {"feedback camera", {{1, 1, 0.1f}, {0, 0, 0}, {0, 0, -5}}},
      {"turned about y after the translation", {{1, 1, 1}, {0, 90, 0}, {0, 0, -20}}},
      {"every axis turned, off-centre, narrow frustum", {{0.5f, 0.375f, 2}, {30, -45, 60}, {3, -2, -7}}},
      {"x and z turns only", {{1.5f, 1, 0.25f}, {-10, 0, 170}, {-1, 4, 12}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Camera camera;
    pose(camera, row.pose);
    camera.render();
    test::expectMatrixNear(test::getMatrix(GL_PROJECTION_MATRIX),
                           test::cameraProjection(row.pose.scale, row.pose.rot, row.pose.pos, kCameraFar));
  }
}

TEST_F(CameraTest, LeavesModelViewSelectedAndIdentity) {
  Camera camera;
  pose(camera, {{1, 1, 1}, {10, 20, 30}, {1, 2, 3}});
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5.0f, 6.0f, 7.0f);
  glRotatef(33.0f, 1.0f, 1.0f, 0.0f);
  glMatrixMode(GL_PROJECTION);
  glOrtho(-3.0, 3.0, -2.0, 2.0, -1.0, 1.0);
  camera.render();
  EXPECT_EQ(test::getInteger(GL_MATRIX_MODE), GL_MODELVIEW);
  test::expectMatrixNear(test::getMatrix(GL_MODELVIEW_MATRIX), test::identity4());
}

// Draws a white 2 x 2 square centred on (x, y, z), facing along the given axis
// (0: in the y-z plane, 2: in the x-y plane).
void drawSquare(float x, float y, float z, int facing) {
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  const float c[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (const auto& v : c) {
    if (facing == 0)
      glVertex3f(x, y + v[0], z + v[1]);
    else
      glVertex3f(x + v[0], y + v[1], z);
  }
  glEnd();
}

TEST_F(CameraTest, PlacesTheWorldInFrontOfTheEye) {
  struct Row {
    const char* name;
    Pose pose;
    float at[3];
    int facing;
    bool seenAtCentre;
  };
  const Row rows[] = {
      {"origin 20 units ahead", {{1, 1, 1}, {0, 0, 0}, {0, 0, -20}}, {0, 0, 0}, 2, true},
      {"turned 90 degrees about the eye sees +x of the eye",
       {{1, 1, 1}, {0, 90, 0}, {0, 0, -20}},
       {20, 0, 20},
       0,
       true},
      {"turned 90 degrees no longer sees the origin", {{1, 1, 1}, {0, 90, 0}, {0, 0, -20}}, {0, 0, 0}, 2, false},
      {"nothing behind the eye", {{1, 1, 1}, {0, 0, 0}, {0, 0, -20}}, {0, 0, 25}, 2, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    glClear(GL_COLOR_BUFFER_BIT);
    Camera camera;
    pose(camera, row.pose);
    camera.render();
    drawSquare(row.at[0], row.at[1], row.at[2], row.facing);
    const test::Rgba centre = test::readPixel(400, 300);
    EXPECT_EQ(centre.r == 255 && centre.g == 255 && centre.b == 255, row.seenAtCentre);
    // A 2-unit square 20 units away spans a tenth of the half-width: well inside 360 .. 440.
    if (row.seenAtCentre) {
      const test::Rgba outside = test::readPixel(460, 300);
      EXPECT_EQ(outside.r, 0);
    }
  }
}

}  // namespace
}  // namespace vorn
