// The mipmapped upload of an RGBA picture into the bound 2D texture.
#pragma once

namespace vorn {

// Gives the bound GL_TEXTURE_2D level 0 from rgba (width * height RGBA bytes,
// rows without padding) and every smaller level down to 1 x 1. Sides that
// are powers of two are halved here, each level the rounded mean of 2 x 2
// texels of the one above ((a + b + c + d + 2) / 4; (a + b) / 2 once a side
// is 1), exactly as gluBuild2DMipmaps does, without its general-purpose
// scratch copies; other sizes are left to gluBuild2DMipmaps, which resamples
// them to powers of two first.
void uploadMipmapped(int width, int height, const unsigned char* rgba);

}  // namespace vorn
