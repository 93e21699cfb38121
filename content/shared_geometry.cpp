// Keeps the production's one GeometryGenerator where the picture routines find it.
#include "content/shared_geometry.h"

#include "scene/geometry.h"

namespace vorn {

namespace {

struct SharedGeometryState {
  GeometryGenerator* generator = nullptr;  // lives for the whole run; never destroyed
};

SharedGeometryState state;

}  // namespace

GeometryGenerator& createSharedGeometry() {
  state.generator = new GeometryGenerator();
  return *state.generator;
}

GeometryGenerator* sharedGeometry() { return state.generator; }

}  // namespace vorn
