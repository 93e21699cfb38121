// Texture: one GL 2D texture object with its size, loaded from a PNG picture
// or created empty at a size (render targets). Uploaded once with mipmaps.
#pragma once

#include <GL/gl.h>

#include <string>

#include "res/picture_file.h"

namespace vorn {

class MipChain;

class Texture {
 public:
  // Creation at a size: width * height transparent black RGBA pixels, not yet uploaded.
  Texture(int width, int height);
  // Loading: decodes the file when it exists and its name ends in "png", converts
  // it to 8-bit RGBA and uploads it. Otherwise the Texture stays empty and one
  // line on stderr names the file. While a LoadQueue is active the file is
  // read on its workers, and the Texture stays empty until the queue's
  // finish() completes it; the Texture must live until then.
  explicit Texture(const std::string& path);
  virtual ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Creates the GL texture from the held pixels (level 0 and the whole mipmap
  // chain), leaves it bound, and releases pixels the Texture owns.
  void upload();
  // Binds the texture on the active unit; an empty Texture binds texture 0.
  void bind() const;

  GLuint glName() const { return glName_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return glName_ == 0; }
  // True while picture data waits for upload; upload releases it.
  bool holdsPixels() const { return pixels_ != nullptr; }

 private:
  struct EarlyRead;  // a picture read on a LoadQueue worker
  void completeEarly(const std::string& path, EarlyRead& read);
  // Takes a read picture to the GL (or reports why not): its levels from
  // chain when given, else built here.
  void complete(const std::string& path, PictureFile& file, const MipChain* chain);
  // A new GL texture with the picture filters, left bound.
  void createGlTexture();

  unsigned char* pixels_ = nullptr;  // RGBA rows, top row first; owned when ownsPixels_
  bool ownsPixels_ = false;
  GLuint glName_ = 0;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace vorn
