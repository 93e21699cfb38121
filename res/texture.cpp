// Texture loading (the file checked, and read when 8-bit RGB or RGBA, by
// readPicture, on a LoadQueue's workers while one is active; other layouts
// through decodePicture), creation at a size, and the mipmapped upload.
// Failures leave the Texture empty with one line on stderr; the show goes on.
#include "res/texture.h"

#include <cstdio>
#include <memory>
#include <set>

#include "res/load_queue.h"
#include "res/mip_chain.h"
#include "res/mipmaps.h"
#include "res/picture_decoder.h"

namespace vorn {

namespace {

constexpr int kBytesPerPixel = 4;

// A picture used by several Materials is named once. The set lives for the
// run, like the Textures.
void report(const std::string& path, const char* what) {
  static std::set<std::string> reported;
  if (!reported.insert(path).second) return;
  std::fprintf(stderr, "vorndemo: picture \"%s\" not loaded: %s\n", path.c_str(), what);
}

// The largest side read before the GL's own limit is known: far below what
// any GL of today allows, and a bound on what a damaged header can make the
// early read allocate.
constexpr int kEarlySide = 4096;

}  // namespace

// A picture read on a LoadQueue worker before the GL's limits are known,
// with its levels when the picture has the common layout.
struct Texture::EarlyRead {
  PictureFile file;
  std::unique_ptr<MipChain> chain;
  void run(const std::string& path);
};

void Texture::EarlyRead::run(const std::string& path) {
  file = readPicture(path, kEarlySide);
  if (!file.error.empty() || !file.rgba || !uploadsAsChain(file.width, file.height, kEarlySide)) return;
  chain = std::make_unique<MipChain>(file.width, file.height, file.rgba.get());
  // A resampled picture's levels are all the chain's own: the decoded
  // picture goes now, and its memory serves the next one this thread reads.
  if (chain->level(0).rgba != file.rgba.get()) file.rgba.reset();
}

Texture::Texture(int width, int height) : width_(width), height_(height) {
  pixels_ = new unsigned char[static_cast<size_t>(width) * static_cast<size_t>(height) * kBytesPerPixel]();
  ownsPixels_ = true;
}

Texture::Texture(const std::string& path) {
  if (LoadQueue* queue = LoadQueue::active()) {
    auto read = std::make_shared<EarlyRead>();
    queue->add([read, path] { read->run(path); }, [this, read, path] { completeEarly(path, *read); });
    return;
  }
  PictureFile file = readPicture(path, maxTextureSide());
  complete(path, file, nullptr);
}

void Texture::completeEarly(const std::string& path, EarlyRead& read) {
  // A picture beyond what the early read allows, or beyond this GL, is read
  // again with the GL's own limit, which also words the refusal.
  const int maxSide = maxTextureSide();
  if (read.file.tooLarge || read.file.width > maxSide || read.file.height > maxSide) {
    read.file = readPicture(path, maxSide);
    read.chain.reset();
  }
  if (read.chain && !uploadsAsChain(read.file.width, read.file.height, maxSide)) {
    read.chain.reset();
    if (!read.file.rgba) read.file = readPicture(path, maxSide);  // GLU resamples it itself
  }
  complete(path, read.file, read.chain.get());
}

void Texture::complete(const std::string& path, PictureFile& file, const MipChain* chain) {
  if (!file.error.empty()) {
    report(path, file.error.c_str());
    return;
  }
  if (!file.rgba && !chain) {
    if (!decodePicture(path, file)) {
      report(path, file.error.c_str());
      return;
    }
    // The file was checked before; this guards against one replaced since.
    const int maxSize = maxTextureSide();
    if (file.width <= 0 || file.height <= 0 || file.width > maxSize || file.height > maxSize) {
      report(path, "its size is zero or beyond the GL's largest texture");
      return;
    }
  }
  width_ = file.width;
  height_ = file.height;
  createGlTexture();
  if (chain) {
    uploadMipChain(*chain);
  } else {
    uploadMipmapped(width_, height_, file.rgba.get());
  }
}

Texture::~Texture() {
  if (ownsPixels_) delete[] pixels_;
}

void Texture::upload() {
  // A second upload has no pixels left to read (GLU would read through null).
  if (!pixels_) {
    std::fprintf(stderr, "vorndemo: Texture::upload called without pixels; upload each Texture once\n");
    return;
  }
  createGlTexture();
  // Every level, level 0 included, is given once: until the texture is first
  // drawn Mesa would hold a level 0 given earlier next to its replacement.
  uploadMipmapped(width_, height_, pixels_);
  if (ownsPixels_) {
    delete[] pixels_;
    pixels_ = nullptr;
    ownsPixels_ = false;
  }
}

void Texture::createGlTexture() {
  glGenTextures(1, &glName_);
  glBindTexture(GL_TEXTURE_2D, glName_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void Texture::bind() const {
  // An empty Texture binds 0, so no other picture can show through it.
  glBindTexture(GL_TEXTURE_2D, glName_);
}

}  // namespace vorn
