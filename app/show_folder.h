// Finding the show's files (scenes/ and the music) from any working directory:
// the working directory when it holds them, else the first of a few places
// beside the executable. The loaders keep opening the script's relative names.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"

namespace vorn {

constexpr const char* kScenesFolder = "scenes";
constexpr const char* kMusicFile = "vorndemo.ogg";

// The places to look, in order, each once: the working directory, dataOption
// (--data; none when empty), the executable's folder, its run/ (a build tree)
// and its ../share/vorndemo (an install, wherever its prefix was moved). An
// empty executable path leaves out the last three.
std::vector<std::string> showFolderCandidates(const std::string& dataOption, const std::string& executable);

// Whether dir holds the show: a scenes folder or the music file. Either is
// enough, so that a damaged or missing file in the right folder is reported
// by its loader as before instead of sending the search elsewhere.
bool holdsShow(const std::string& dir);

// Makes the first candidate that holds the show the working directory. The
// output path is made absolute first, so it still names a file in the folder
// the user ran the program from. Returns false after printing one line naming
// every place looked at when none holds the show, or when the move fails.
bool enterShowFolder(Options& options, const std::string& executable);

}  // namespace vorn
