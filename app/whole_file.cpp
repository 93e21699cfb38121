// Whole-file writes through the C library.
#include "app/whole_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorn {

bool writeWholeFile(const std::string& path, const void* data, size_t size, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool wrote = std::fwrite(data, 1, size, f) == size;
  const int savedErrno = errno;
  const bool closed = std::fclose(f) == 0;
  if (!wrote || !closed) {
    error = "cannot write " + path + ": " + std::strerror(wrote ? errno : savedErrno);
    std::remove(path.c_str());
    return false;
  }
  return true;
}

}  // namespace vorn
