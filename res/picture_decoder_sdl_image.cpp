// decodePicture through SDL_image: its surface, whatever its format, read
// pixel by pixel into RGBA. Builds with SDL_image only (VORN_SDL_IMAGE).
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstring>

#include "res/picture_decoder.h"

namespace vorn {

namespace {

constexpr int kBytesPerPixel = 4;

Uint32 readSurfacePixel(const Uint8* p, int bytesPerPixel) {
  switch (bytesPerPixel) {
    case 1: return *p;
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

}  // namespace

bool decodePicture(const std::string& path, PictureFile& picture) {
  SDL_Surface* surface = IMG_Load(path.c_str());
  if (!surface) {
    picture.error = std::string("cannot decode it (") + IMG_GetError() + ")";
    return false;
  }
  picture.width = surface->w;
  picture.height = surface->h;
  picture.rgba.reset(convertToRgba(surface));
  SDL_FreeSurface(surface);
  return true;
}

}  // namespace vorn
