// Texture loading (the file read by readPicture, on a LoadQueue's workers
// while one is active; layouts it does not decode through SDL_image, converted
// to 8-bit RGBA), creation at a size, and the mipmapped upload.
// Failures leave the Texture empty with one line on stderr; the show goes on.
#include "res/texture.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "res/load_queue.h"
#include "res/mip_chain.h"
#include "res/mipmaps.h"

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

// True when the surface already holds R, G, B, A bytes in memory order with
// rows of exactly width * 4 bytes, so the GL can read it as it is.
bool isPackedRgba(const SDL_Surface* s) {
  const SDL_PixelFormat* f = s->format;
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
  const Uint32 r = 0x000000FFu, g = 0x0000FF00u, b = 0x00FF0000u, a = 0xFF000000u;
#else
  const Uint32 r = 0xFF000000u, g = 0x00FF0000u, b = 0x0000FF00u, a = 0x000000FFu;
#endif
  return f->BytesPerPixel == kBytesPerPixel && f->Rmask == r && f->Gmask == g && f->Bmask == b && f->Amask == a &&
         s->pitch == s->w * kBytesPerPixel;
}

Uint32 readSurfacePixel(const Uint8* p, int bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1:
      return *p;
    case 2: {
      Uint16 v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    case 3:
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
      return static_cast<Uint32>(p[0]) | static_cast<Uint32>(p[1]) << 8 | static_cast<Uint32>(p[2]) << 16;
#else
      return static_cast<Uint32>(p[0]) << 16 | static_cast<Uint32>(p[1]) << 8 | static_cast<Uint32>(p[2]);
#endif
    default: {
      Uint32 v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
  }
}

// Converts any decoded layout (RGB, grey, palette, other masks) into a new
// width * height * 4 RGBA buffer, top row first. Pixels matching a colour key
// keep their colour with alpha 0; layouts without alpha are opaque.
unsigned char* convertToRgba(SDL_Surface* s) {
  const int bpp = s->format->BytesPerPixel;
#ifdef __EMSCRIPTEN__
  // The browser's SDL keeps no colour key, and its decoded pictures are plain
  // memory that must not be locked.
  const bool keyed = false;
  const Uint32 key = 0;
  const bool lock = false;
#else
  const bool keyed = (s->flags & SDL_SRCCOLORKEY) != 0;
  const Uint32 key = s->format->colorkey;
  const bool lock = SDL_MUSTLOCK(s);
#endif
  auto* out = new unsigned char[static_cast<size_t>(s->w) * static_cast<size_t>(s->h) * kBytesPerPixel]();
  if (lock) SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    unsigned char* dst = out + static_cast<size_t>(y) * s->w * kBytesPerPixel;
    for (int x = 0; x < s->w; ++x, dst += kBytesPerPixel) {
      const Uint32 value = readSurfacePixel(row + static_cast<size_t>(x) * bpp, bpp);
      SDL_GetRGBA(value, s->format, &dst[0], &dst[1], &dst[2], &dst[3]);
      if (keyed && value == key) dst[3] = 0;
    }
  }
  if (lock) SDL_UnlockSurface(s);
  return out;
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
  if (file.rgba || chain) {
    width_ = file.width;
    height_ = file.height;
    createGlTexture();
    if (chain) {
      uploadMipChain(*chain);
    } else {
      uploadMipmapped(width_, height_, file.rgba.get());
    }
    return;
  }
  const int maxSize = maxTextureSide();
  SDL_Surface* surface = IMG_Load(path.c_str());
  if (!surface) {
    const std::string why = std::string("cannot decode it (") + IMG_GetError() + ")";
    report(path, why.c_str());
    return;
  }
  if (surface->w <= 0 || surface->h <= 0 || surface->w > maxSize || surface->h > maxSize) {
    report(path, "its size is zero or beyond the GL's largest texture");
    SDL_FreeSurface(surface);
    return;
  }
  width_ = surface->w;
  height_ = surface->h;
  if (isPackedRgba(surface)) {
    pixels_ = static_cast<unsigned char*>(surface->pixels);
    ownsPixels_ = false;
  } else {
    pixels_ = convertToRgba(surface);
    ownsPixels_ = true;
  }
  upload();
  pixels_ = nullptr;  // the decoded picture goes with its surface
  SDL_FreeSurface(surface);
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
