// Decoding the PNG layouts that readPicture leaves undecoded (palette, grey,
// grey + alpha, 16-bit, a tRNS colour, and any of these interlaced) into the
// RGBA a texture takes. Call only on a file readPicture accepted: the checks
// against damaged and oversized files are its.
#pragma once

#include <string>

#include "res/picture_file.h"

namespace vorn {

// With the build's decoder: SDL_image where the build has it, else
// decodePngLikeSdlImage. Fills picture.rgba, width and height; false with the
// reason in picture.error. On the main thread, as Texture calls it: SDL_image
// does not promise to be safe on others.
bool decodePicture(const std::string& path, PictureFile& picture);

// With libpng alone, into exactly the pixels SDL_image 1.2 and the texture's
// conversion of its surface have always given, quirks included: 16-bit
// samples keep their high byte, a single transparent palette entry or RGB
// colour becomes alpha 0 with its colour kept, and a grey picture with a tRNS
// grey comes out opaque with red the grey, green its alpha and blue 0. Safe
// on any thread.
bool decodePngLikeSdlImage(const std::string& path, PictureFile& picture);

}  // namespace vorn
