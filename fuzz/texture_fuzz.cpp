// libFuzzer target: a picture file through Texture loading — the libpng
// check, SDL_image's decoder, conversion to RGBA and the mipmapped upload.
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "res/texture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vorn::fuzz::openGlWindow();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = vorn::fuzz::writeInput(data, size, ".png");
  vorn::Texture texture(path);
  if (!texture.empty()) {
    texture.bind();
    const GLuint name = texture.glName();
    glDeleteTextures(1, &name);
  }
  glGetError();
  return 0;
}
