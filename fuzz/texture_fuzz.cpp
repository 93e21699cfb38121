// libFuzzer target: a picture file through Texture loading — the libpng
// check, SDL_image's decoder, conversion to RGBA and the mipmapped upload —
// and, on every file the check accepts, the libpng decoder of builds without
// SDL_image, which must give the same pixels or refuse alike.
#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "res/picture_decoder.h"
#include "res/texture.h"

namespace {

// Bounds what a header can make the two decoders allocate per input.
constexpr int kComparedSide = 1024;

void compareDecoders(const std::string& path) {
  if (!vorn::readPicture(path, kComparedSide).error.empty()) return;
  vorn::PictureFile sdl, libpng;
  const bool decoded = vorn::decodePicture(path, sdl);
  const bool same = vorn::decodePngLikeSdlImage(path, libpng) == decoded &&
                    (!decoded || (sdl.width == libpng.width && sdl.height == libpng.height &&
                                  std::memcmp(sdl.rgba.get(), libpng.rgba.get(),
                                              static_cast<size_t>(sdl.width) * sdl.height * 4) == 0));
  if (!same) {
    std::fprintf(stderr, "the decoders disagree on this picture\n");
    std::abort();
  }
}

}  // namespace

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
  compareDecoders(path);
  return 0;
}
