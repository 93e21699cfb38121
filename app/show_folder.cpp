// The search for the show's folder and the move into it.
#include "app/show_folder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vorn {

namespace {

namespace fs = std::filesystem;

// An absolute, normalised spelling of path, for comparing and for messages;
// path itself when the working directory cannot be had.
std::string spelled(const fs::path& path) {
  std::error_code error;
  const fs::path full = fs::absolute(path, error);
  return (error ? path : full).lexically_normal().string();
}

}  // namespace

std::vector<std::string> showFolderCandidates(const std::string& dataOption, const std::string& executable) {
  std::vector<fs::path> places = {"."};
  if (!dataOption.empty()) places.emplace_back(dataOption);
  if (!executable.empty()) {
    const fs::path bin = fs::path(executable).parent_path();
    places.insert(places.end(), {bin, bin / "run", bin / ".." / "share" / "vorndemo"});
  }
  std::vector<std::string> candidates;
  for (const fs::path& place : places) {
    std::string name = spelled(place);
    if (name.size() > 1 && name.back() == '/') name.pop_back();
    if (std::find(candidates.begin(), candidates.end(), name) == candidates.end()) candidates.push_back(name);
  }
  return candidates;
}

bool holdsShow(const std::string& dir) {
  std::error_code error;
  return fs::is_directory(fs::path(dir) / kScenesFolder, error) || fs::exists(fs::path(dir) / kMusicFile, error);
}

bool enterShowFolder(Options& options, const std::string& executable) {
  const std::vector<std::string> candidates = showFolderCandidates(options.dataDir, executable);
  const auto found = std::find_if(candidates.begin(), candidates.end(), holdsShow);
  if (found == candidates.end()) {
    std::string places;
    for (const std::string& c : candidates) places += (places.empty() ? "" : ", ") + c;
    std::fprintf(stderr, "vorndemo: no %s/ or %s in %s; name their folder with --data DIR\n", kScenesFolder, kMusicFile,
                 places.c_str());
    return false;
  }
  if (found == candidates.begin()) return true;  // the working directory holds the show
  std::error_code error;
  if (!options.path.empty()) {
    const fs::path output = fs::absolute(options.path, error);
    if (!error) options.path = output.string();
  }
  fs::current_path(*found, error);
  if (error) {
    std::fprintf(stderr, "vorndemo: cannot enter %s: %s\n", found->c_str(), error.message().c_str());
    return false;
  }
  return true;
}

}  // namespace vorn
