// GeneratedMesh drawing: the Material, the node transform and one GL_TRIANGLES
// primitive fed element by element from the client arrays the format keeps.
#include "scene/generated_mesh.h"

#include <GL/gl.h>

#include "scene/material.h"

namespace vorn {

namespace {

// The client arrays one render switched on, so exactly those are switched off.
struct EnabledArrays {
  bool vertex = false;
  bool normal = false;
  bool texCoord = false;
};

// Enables and points the arrays the format keeps: vertex, then normal, then
// texture coordinate. An unknown format enables none.
EnabledArrays enableArrays(const VertexStorage& storage) {
  EnabledArrays on;
  const int format = storage.vertexFormat;
  if (format != GL_V3F && format != GL_T2F_V3F && format != GL_T2F_N3F_V3F) return on;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, storage.positions);
  on.vertex = true;
  if (format == GL_T2F_N3F_V3F) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, storage.normals);
    on.normal = true;
  }
  if (format == GL_T2F_V3F || format == GL_T2F_N3F_V3F) {
    // Feeds the default client texture unit (0); the client unit is never switched.
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, storage.texCoords);
    on.texCoord = true;
  }
  return on;
}

// Client array state is outside the attribute stack, so it is switched off by hand.
void disableArrays(const EnabledArrays& on) {
  if (on.vertex) glDisableClientState(GL_VERTEX_ARRAY);
  if (on.normal) glDisableClientState(GL_NORMAL_ARRAY);
  if (on.texCoord) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

void GeneratedMesh::render() {
  // Everything the Material sets is undone by the attribute pop below.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  if (material) {
    material->evaluateColour(currentTime);
    material->apply();
  }
  glPushMatrix();
  applyTransform();

  const EnabledArrays on = enableArrays(*this);
  glBegin(GL_TRIANGLES);
  if (on.vertex) {
    for (int i = 0; i < vertexCount; ++i) glArrayElement(i);
  }
  glEnd();
  disableArrays(on);

  if (firstChild) firstChild->render();
  glPopMatrix();
  glPopAttrib();
  if (nextSibling) nextSibling->render();
}

}  // namespace vorn
