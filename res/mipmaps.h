// The mipmapped upload of an RGBA picture into the bound 2D texture.
#pragma once

namespace vorn {

class MipChain;

// The bound GL's largest texture side (GL_MAX_TEXTURE_SIZE).
int maxTextureSide();

// True when uploadMipChain of a MipChain built from a width x height picture
// gives what uploadMipmapped would, on a GL whose largest side is maxSide.
bool uploadsAsChain(int width, int height, int maxSide);

// Gives the bound GL_TEXTURE_2D every level of the chain, level 0 first.
void uploadMipChain(const MipChain& chain);

// Gives the bound GL_TEXTURE_2D the levels gluBuild2DMipmaps would give
// rgba (width * height RGBA bytes, rows without padding), byte for byte:
// built by MipChain, or by GLU itself where a level 0 of the sides GLU
// picks would exceed the GL's largest texture.
void uploadMipmapped(int width, int height, const unsigned char* rgba);

}  // namespace vorn
