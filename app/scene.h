// Scene: a Camera, an ordered list of Nodes drawn in its view, and up to 12
// screen-space picture layers drawn on top in the timeline's second pass.
// A Scene owns none of them: nodes may be listed in several Scenes or twice.
#pragma once

#include <vector>

#include "scene/camera.h"
#include "scene/node.h"

namespace vorn {

constexpr int kMaxLayers = 12;

// The Camera Scene::setup makes; the values are those the script has always
// passed. Any other value makes none.
enum SceneSetup : int {
  StandardCamera = 0,  // every production Scene: the eye 20 units back, near plane at 1
  FeedbackCamera = 2,  // the Engine's feedback Scene: the eye 5 units back, near plane at 0.1
};

class Scene {
 public:
  Scene() = default;
  virtual ~Scene() = default;

  // Updates and renders the Camera (when present), then each node in list
  // order, each updated and drawn before the next one is touched.
  virtual void render(float t);
  // Creates and keys a new Camera (the old one is replaced, not destroyed);
  // values outside SceneSetup do nothing.
  virtual void setup(SceneSetup mode);

  void addNode(Node* node) { nodeList.push_back(node); }
  // Appends to layers; returns false (and changes nothing) when all 12 are used.
  bool appendLayer(Node* layer);
  // Updates each layer at t, then draws it inside its own 800 x 600 screen space.
  void drawLayers(float t);

  Camera* camera = nullptr;       // created by setup; lives for the run
  Node* layers[kMaxLayers] = {};  // not owned
  int layerCount = 0;
  std::vector<Node*> nodeList;  // not owned
  const char* name = "";        // for reports such as the benchmark table
};

}  // namespace vorn
