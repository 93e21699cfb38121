// vorn-assets: writes every model, picture and the music of the show into a
// run directory (scenes/*.3ds, scenes/*.png, vorndemo.ogg), or with --icon the
// program's desktop icon.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/assets.h"

namespace {

void usage(FILE* out) {
  std::fprintf(out,
               "usage: vorn-assets RUNDIR\n"
               "       vorn-assets --icon PATH.png\n"
               "Generates the show's models, pictures and music into RUNDIR/scenes and RUNDIR/vorndemo.ogg,\n"
               "or the program's 256 x 256 desktop icon into PATH.png.\n");
}

template <typename Step>
bool timed(const char* what, Step step) {
  const auto begin = std::chrono::steady_clock::now();
  std::fprintf(stderr, "vorn-assets: %s ...\n", what);
  const bool ok = step();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::fprintf(stderr, "vorn-assets: %s %s in %.1f s\n", what, ok ? "done" : "FAILED", seconds);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    usage(stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--icon") == 0) return vorn::assets::writeIcon(argv[2]) ? 0 : 1;
  if (argc != 2) {
    usage(stderr);
    return 2;
  }
  const std::string dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(dir) / "scenes", error);
  if (error) {
    std::fprintf(stderr, "vorn-assets: cannot create %s/scenes: %s\n", dir.c_str(), error.message().c_str());
    return 1;
  }
  bool ok = timed("models", [&] { return vorn::assets::writeModels(dir); });
  ok = timed("pictures", [&] { return vorn::assets::writePictures(dir); }) && ok;
  ok = timed("music", [&] { return vorn::assets::writeMusic(dir + "/vorndemo.ogg"); }) && ok;
  return ok ? 0 : 1;
}
