// libFuzzer target: a 3DS file through the whole model path — the byte check,
// lib3ds's reader, keyframe evaluation at several frames, and drawing, which
// compiles each mesh (normals, materials, texels) into a display list.
#include <GL/gl.h>
#include <lib3ds/file.h>
#include <lib3ds/node.h>

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "scene/model3ds.h"

namespace {

// Each input's lists are freed so the GL does not grow over millions of runs.
void deleteLists(Lib3dsNode* node) {
  for (; node; node = node->next) {
    deleteLists(node->childs);
    if (node->user.d != 0) glDeleteLists(node->user.d, 1);
    node->user.d = 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vorn::fuzz::openGlWindow();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vorn::fuzz::writeInput(data, size, ".3ds");
  // A negative length holds frame 0, a short one runs to the last frame.
  vorn::Model3ds model(path, 0.0f, 2.0f);
  for (float t : {0.0f, 0.7f, 1.3f, 5.0f}) {
    model.update(t);
    model.render();
  }
  glGetError();  // a damaged model may ask the GL for odd things; only memory faults count here
  if (model.file) deleteLists(model.file->nodes);
  return 0;
}
