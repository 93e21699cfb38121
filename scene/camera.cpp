// Camera render: the whole view transform goes on the projection matrix so the
// nodes drawn after it start from an identity model-view.
#include "scene/camera.h"

#include <GL/gl.h>

namespace vorn {

void Camera::render() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // scale.x / scale.y are the half extents at the near plane, scale.z the near
  // distance; no aspect correction for the window.
  glFrustum(-static_cast<double>(scale.x), static_cast<double>(scale.x), -static_cast<double>(scale.y),
            static_cast<double>(scale.y), static_cast<double>(scale.z), kCameraFar);
  glRotatef(rotation.x, 1.0f, 0.0f, 0.0f);
  glRotatef(rotation.y, 0.0f, 1.0f, 0.0f);
  glRotatef(rotation.z, 0.0f, 0.0f, 1.0f);
  // Applied to world points before the turn, so the camera turns about its eye;
  // the position moves the world and is therefore not negated.
  glTranslatef(position.x, position.y, position.z);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

}  // namespace vorn
