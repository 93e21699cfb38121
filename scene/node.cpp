// Node update, key storage, child links and the shared model-view transform.
#include "scene/node.h"

#include <GL/gl.h>

namespace vorn {

namespace {

void follow(const Track& track, float t, Vec3& value) {
  float out[3];
  if (track.evaluate(t, out) == 1) value = {out[0], out[1], out[2]};
}

void appendKey(Track& track, const Vec3& v, float time) {
  auto key = std::make_unique<Key>();
  key->x = v.x;
  key->y = v.y;
  key->z = v.z;
  key->time = time;
  key->w = 1.0f;
  track.addKey(std::move(key));
}

}  // namespace

Node::~Node() {
  // Sibling chains can be long (one box per link); unlink them iteratively so
  // destruction does not recurse once per sibling.
  Node* sibling = nextSibling;
  nextSibling = nullptr;
  while (sibling) {
    Node* next = sibling->nextSibling;
    sibling->nextSibling = nullptr;
    delete sibling;
    sibling = next;
  }
  delete firstChild;
}

void Node::update(float t) {
  currentTime = t;
  follow(positionTrack, t, position);
  follow(rotationTrack, t, rotation);
  follow(scaleTrack, t, scale);
  if (firstChild) firstChild->update(t);
  if (nextSibling) nextSibling->update(t);
}

void Node::render() {
  if (firstChild) firstChild->render();
  if (nextSibling) nextSibling->render();
}

void Node::storeKeys(int storePosition, int storeRotation, int storeScale) {
  if (storePosition) appendKey(positionTrack, position, keyTime);
  if (storeRotation) appendKey(rotationTrack, rotation, keyTime);
  if (storeScale) appendKey(scaleTrack, scale, keyTime);
}

void Node::clearTracks() {
  positionTrack.clear();
  rotationTrack.clear();
  scaleTrack.clear();
}

void Node::attachTo(Node& parent) {
  nextSibling = parent.firstChild;
  parent.firstChild = this;
}

void Node::applyTransform() const {
  glTranslatef(position.x, position.y, position.z);
  glRotatef(rotation.x, 1.0f, 0.0f, 0.0f);
  glRotatef(rotation.y, 0.0f, 1.0f, 0.0f);
  glRotatef(rotation.z, 0.0f, 0.0f, 1.0f);
  glScalef(scale.x, scale.y, scale.z);
}

}  // namespace vorn
