// decodePicture where the build has no SDL_image (VORN_SDL_IMAGE off): libpng alone.
#include "res/picture_decoder.h"

namespace vorn {

bool decodePicture(const std::string& path, PictureFile& picture) { return decodePngLikeSdlImage(path, picture); }

}  // namespace vorn
