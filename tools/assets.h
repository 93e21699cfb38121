// The asset generator: every model, picture and the music of the show, made
// from our own source by tools/model, tools/picture and tools/music, one writer
// each. Each writer is deterministic (seeded, no clock).
#pragma once

#include <string>

namespace vorn::assets {

// Writes the nine 3DS models into dir/scenes/. Returns false after printing
// one line on stderr naming the file that could not be written.
bool writeModels(const std::string& dir);
// Writes the twenty-six PNG pictures into dir/scenes/.
bool writePictures(const std::string& dir);
// Writes the 176-second soundtrack as Ogg Vorbis to path.
bool writeMusic(const std::string& path);
// Writes the program's 256 x 256 desktop icon, made from the title picture, to
// path. Returns false after printing one line naming path.
bool writeIcon(const std::string& path);

}  // namespace vorn::assets
