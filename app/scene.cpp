// Scene set-up, the node pass in the Camera's view and the screen-space layer pass.
#include "app/scene.h"

#include "fx/render_pyramid.h"
#include "fx/screen_size.h"

namespace vorn {

namespace {

struct CameraSetup {
  float z;          // position z: the world origin lies -z units ahead of the eye
  float nearPlane;  // scale z: near-plane distance of the frustum
};

constexpr CameraSetup kStandardCamera = {-20.0f, 1.0f};
constexpr CameraSetup kFeedbackCamera = {-5.0f, 0.1f};

}  // namespace

void Scene::setup(SceneSetup mode) {
  if (mode != StandardCamera && mode != FeedbackCamera) return;
  const CameraSetup& s = mode == StandardCamera ? kStandardCamera : kFeedbackCamera;
  // Cameras live for the whole run; an earlier one may still be referenced by
  // the script, so it is left alive rather than deleted.
  camera = new Camera();
  camera->setKeyTime(0.0f);
  camera->setRotation(0.0f, 0.0f, 0.0f);
  camera->setPosition(0.0f, 0.0f, s.z);
  camera->setScale(1.0f, 1.0f, s.nearPlane);
  camera->storeKeys(1, 1, 1);
}

void Scene::render(float t) {
  if (camera) {
    camera->update(t);
    camera->render();
  }
  for (Node* node : nodeList) {
    node->update(t);
    node->render();
  }
}

bool Scene::appendLayer(Node* layer) {
  if (layerCount >= kMaxLayers) return false;
  layers[layerCount++] = layer;
  return true;
}

void Scene::drawLayers(float t) {
  for (int i = 0; i < layerCount; ++i) {
    // Updated outside the screen space; each layer gets its own enter and leave,
    // which restores the enable bits and both matrices after it.
    layers[i]->update(t);
    beginScreenSpaceSized(kScreenWidth, kScreenHeight);
    layers[i]->render();
    endScreenSpace();
  }
}

}  // namespace vorn
