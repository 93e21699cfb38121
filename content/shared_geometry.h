// The program-wide GeometryGenerator from which every picture plane and picture
// layer of the production takes its quad.
#pragma once

namespace vorn {

class GeometryGenerator;

// Creates a new generator (centre at the origin) and makes it the shared one.
// It lives for the whole run and is never destroyed; a generator made by an
// earlier call stays valid for the meshes already built from it.
GeometryGenerator& createSharedGeometry();
// The shared generator, or null before createSharedGeometry.
GeometryGenerator* sharedGeometry();

}  // namespace vorn
