// Camera: a Node whose render loads the projection (frustum from scale, then
// rotation, then the untransformed position) and leaves the model-view at identity.
#pragma once

#include "scene/node.h"

namespace vorn {

constexpr double kCameraFar = 2000.0;

class Camera : public Node {
 public:
  void render() override;
};

}  // namespace vorn
