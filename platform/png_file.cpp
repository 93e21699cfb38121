// PNG writing with libpng; errors come back through setjmp as libpng requires.
#include "platform/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace vorn {

namespace {

int colourType(PngColour colour) {
  switch (colour) {
    case PngColour::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngColour::GreyAlpha: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngColour::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngColour::Palette: return PNG_COLOR_TYPE_PALETTE;
    case PngColour::Rgba: break;
  }
  return PNG_COLOR_TYPE_RGB_ALPHA;
}

std::size_t samplesPerPixel(PngColour colour) {
  switch (colour) {
    case PngColour::Grey:
    case PngColour::Palette: return 1;
    case PngColour::GreyAlpha: return 2;
    case PngColour::Rgb: return 3;
    case PngColour::Rgba: break;
  }
  return 4;
}

// Why the arguments do not describe a picture, or null when they do.
const char* misfit(int width, int height, const std::vector<std::uint8_t>& samples, const PngFormat& format) {
  if (width <= 0 || height <= 0) return "picture has no pixels";
  const bool palette = format.colour == PngColour::Palette;
  if (format.bitDepth != 8 && (format.bitDepth != 16 || palette)) return "unsupported bit depth";
  const std::size_t rowBytes =
      static_cast<std::size_t>(width) * samplesPerPixel(format.colour) * static_cast<std::size_t>(format.bitDepth / 8);
  if (samples.size() != rowBytes * static_cast<std::size_t>(height)) return "picture size does not match its pixels";
  if (!palette) return nullptr;
  if (format.palette.empty() || format.palette.size() > 256) return "palette must hold 1 to 256 colours";
  for (std::uint8_t index : samples)
    if (index >= format.palette.size()) return "pixel indexes past the palette";
  return nullptr;
}

// libpng reports errors by longjmp; this handler keeps its message off stderr
// so that the caller reports the one line that names the file.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals live here, as longjmp skips destructors.
bool writeRows(std::FILE* file, int width, int height, const std::uint8_t* samples, std::size_t rowBytes,
               const PngFormat& format, const png_color* plte, const png_byte* trns, int trnsCount) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  if (format.compressionLevel >= 0) png_set_compression_level(png, format.compressionLevel);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), format.bitDepth,
               colourType(format.colour), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (plte) png_set_PLTE(png, info, plte, static_cast<int>(format.palette.size()));
  if (trnsCount > 0) png_set_tRNS(png, info, trns, trnsCount, nullptr);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const int stored = format.bottomRowFirst ? height - 1 - y : y;
    png_write_row(png, samples + rowBytes * static_cast<std::size_t>(stored));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& samples,
              std::string& error, const PngFormat& format) {
  if (const char* why = misfit(width, height, samples, format)) {
    error = "cannot write " + path + ": " + why;
    return false;
  }
  std::vector<png_color> plte;
  std::vector<png_byte> trns;
  bool translucent = false;
  for (const PngPaletteEntry& c : format.palette) {
    plte.push_back({c.r, c.g, c.b});
    trns.push_back(c.a);
    translucent = translucent || c.a != 255;
  }
  const bool palette = format.colour == PngColour::Palette;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::size_t rowBytes = samples.size() / static_cast<std::size_t>(height);
  const bool encoded = writeRows(file, width, height, samples.data(), rowBytes, format, palette ? plte.data() : nullptr,
                                 trns.data(), palette && translucent ? static_cast<int>(trns.size()) : 0);
  const bool flushed = encoded && std::fflush(file) == 0 && !std::ferror(file);
  const int flushErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (encoded && flushed && closed) return true;
  const int cause = !flushed ? flushErrno : errno;
  std::remove(path.c_str());
  error = "cannot write " + path;
  error += encoded ? std::string(": ") + std::strerror(cause) : " (PNG encoding or disk failure)";
  return false;
}

}  // namespace vorn
