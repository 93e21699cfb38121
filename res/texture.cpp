// Texture loading (PNG: 8-bit RGB and RGBA decoded by the check's own libpng
// pass, other layouts through SDL_image, converted to 8-bit RGBA), creation
// at a size, and the mipmapped upload.
// Failures leave the Texture empty with one line on stderr; the show goes on.
#include "res/texture.h"

#include <GL/glu.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <png.h>

#include <csetjmp>
#include <memory>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "platform/regular_file.h"
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


// A PNG is read through once with our own libpng handlers before SDL_image
// sees it: SDL_image's libpng prints its own error line on a damaged file, and
// a header can claim a size that is not worth decoding. Only the first error's
// text is kept, for the one line we print.
struct PngCheck {
  char message[160] = "";
};

void onPngError(png_structp png, png_const_charp message) {
  auto* check = static_cast<PngCheck*>(png_get_error_ptr(png));
  std::snprintf(check->message, sizeof check->message, "%s", message);
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct PngShape {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  size_t rowBytes = 0;
  int passes = 1;
  // 8-bit RGB or RGBA without a transparent colour: read as RGBA here gives
  // exactly the bytes SDL_image and convertToRgba would, so the check's own
  // decoding is kept instead of decoding the file a second time.
  bool rgba = false;
};

// Each libpng stage sets its own jump point; nothing with a destructor lives
// in these frames, so a longjmp out of libpng skips no clean-up.
bool readPngHeader(png_structp png, png_infop info, FILE* f, PngShape* shape) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  shape->rgba = png_get_bit_depth(png, info) == 8 && !png_get_valid(png, info, PNG_INFO_tRNS) &&
                (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA);
  if (shape->rgba && colourType == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  shape->passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  shape->width = png_get_image_width(png, info);
  shape->height = png_get_image_height(png, info);
  shape->rowBytes = png_get_rowbytes(png, info);
  return true;
}

// Decodes every row, into rows[y] when rows is given (each pass of an
// interlaced file adds to the row it left), else all into one scratch row.
// After the last row libpng finishes the image data and checks the checksum
// of its last chunk, so data that is cut or damaged anywhere is refused; what
// follows the image data (the end chunk) is not read, as the decoder does
// not need it either.
bool readPngRows(png_structp png, const PngShape* shape, unsigned char* scratch, unsigned char* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int pass = 0; pass < shape->passes; ++pass)
    for (png_uint_32 y = 0; y < shape->height; ++y)
      png_read_row(png, rows ? rows + y * shape->rowBytes : scratch, nullptr);
  return true;
}

// Empty when the file is a PNG that decodes fully within maxSide; otherwise
// what is wrong with it. Other formats are refused too: SDL_image would try
// every decoder it has on them, for pictures the production never uses.
// When the picture's layout allows (PngShape::rgba), its RGBA rows, top row
// first, are left in decoded; otherwise decoded.rgba stays empty.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  std::unique_ptr<unsigned char[]> rgba;  // not zeroed first: every byte is decoded into
};

std::string checkPng(const std::string& path, int maxSide, DecodedPicture& decoded) {
  FILE* f = openAssetFile(path.c_str(), "rb");
  if (!f) return "the file cannot be opened";
  unsigned char signature[8];
  if (std::fread(signature, 1, sizeof signature, f) != sizeof signature || png_sig_cmp(signature, 0, 8) != 0) {
    const bool unreadable = std::ferror(f) != 0;
    std::fclose(f);
    return unreadable ? "the file cannot be read" : "not a PNG file";
  }
  PngCheck check;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &check, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::string why;
  PngShape shape;
  if (!info) {
    why = "out of memory";
  } else if (!readPngHeader(png, info, f, &shape)) {
    why = std::string("damaged or truncated PNG (") + check.message + ")";
  } else if (shape.width == 0 || shape.height == 0 || shape.width > static_cast<png_uint_32>(maxSide) ||
             shape.height > static_cast<png_uint_32>(maxSide)) {
    why = std::to_string(shape.width) + " x " + std::to_string(shape.height) +
          " pixels is beyond the GL's largest texture side of " + std::to_string(maxSide);
  } else {
    std::vector<unsigned char> row(shape.rowBytes);
    if (shape.rgba) decoded.rgba.reset(new unsigned char[shape.rowBytes * shape.height]);
    if (!readPngRows(png, &shape, row.data(), decoded.rgba.get())) {
      why = std::string("damaged or truncated PNG (") + check.message + ")";
      decoded.rgba.reset();
    }
    decoded.width = static_cast<int>(shape.width);
    decoded.height = static_cast<int>(shape.height);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  std::fclose(f);
  return why;
}
}  // namespace

bool fileExists(const std::string& path) {
  FILE* f = openAssetFile(path.c_str(), "r");
  if (!f) return false;
  std::fclose(f);
  return true;
}

bool endsWith(const std::string& path, const std::string& suffix) {
  if (path.size() < suffix.size()) return false;
  return path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

Texture::Texture(int width, int height) : width_(width), height_(height) {
  pixels_ = new unsigned char[static_cast<size_t>(width) * static_cast<size_t>(height) * kBytesPerPixel]();
  ownsPixels_ = true;
}

Texture::Texture(const std::string& path) {
  if (!fileExists(path)) {
    report(path, "the file cannot be opened");
    return;
  }
  if (!endsWith(path, "png")) {
    report(path, "the name does not end in \"png\"");
    return;
  }
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  DecodedPicture decoded;
  const std::string damage = checkPng(path, maxSize, decoded);
  if (!damage.empty()) {
    report(path, damage.c_str());
    return;
  }
  pixelType_ = GL_UNSIGNED_BYTE;
  if (decoded.rgba) {
    width_ = decoded.width;
    height_ = decoded.height;
    pixels_ = decoded.rgba.release();
    ownsPixels_ = true;
    upload();  // and frees the pixels
    return;
  }
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
  pixelType_ = GL_UNSIGNED_BYTE;
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
  glGenTextures(1, &glName_);
  glBindTexture(GL_TEXTURE_2D, glName_);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Every level, level 0 included, is given once: until the texture is first
  // drawn Mesa would hold a level 0 given earlier next to its replacement.
  uploadMipmapped(width_, height_, pixels_);
  if (ownsPixels_) {
    delete[] pixels_;
    pixels_ = nullptr;
    ownsPixels_ = false;
  }
}

void Texture::bind() const {
  // An empty Texture binds 0, so no other picture can show through it.
  glBindTexture(GL_TEXTURE_2D, glName_);
}

}  // namespace vorn
