// Node: the base of every animated scene object. Holds a pose (position,
// rotation in degrees, scale), one Track per triple, and first-child /
// next-sibling links that own the nodes they point to.
#pragma once

#include <memory>

#include "scene/track.h"

namespace vorn {

struct Vec3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

class Node {
 public:
  Node() = default;
  virtual ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  // Stores t as currentTime, follows the three Tracks (a triple changes only
  // when its Track interpolates), then updates firstChild and nextSibling.
  virtual void update(float t);
  // Base: renders firstChild, then nextSibling; draws nothing itself.
  virtual void render();

  void setKeyTime(float t) { keyTime = t; }
  void setPosition(float x, float y, float z) { position = {x, y, z}; }
  void setRotation(float x, float y, float z) { rotation = {x, y, z}; }
  void setScale(float x, float y, float z) { scale = {x, y, z}; }
  // For each true flag, in the order position, rotation, scale, appends the
  // current triple as a Key at keyTime.
  void storeKeys(int storePosition, int storeRotation, int storeScale);
  void clearTracks();
  // Inserts this node at the front of parent's child list; parent takes ownership.
  void attachTo(Node& parent);

  // translate, rotate x, y, z, scale: the transform every drawing subclass uses.
  void applyTransform() const;

  Track rotationTrack;
  Track scaleTrack;
  float keyTime = 0.0f;
  float currentTime = 0.0f;
  Track positionTrack;
  Vec3 position{0.0f, 0.0f, 0.0f};
  Vec3 rotation{0.0f, 0.0f, 0.0f};
  Vec3 scale{1.0f, 1.0f, 1.0f};
  Node* firstChild = nullptr;   // owned
  Node* nextSibling = nullptr;  // owned
};

}  // namespace vorn
