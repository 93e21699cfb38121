// Windows: the type check by path, then an ordinary stream. Opening a path
// there never waits for a writer, so no non-blocking open is needed; a named
// pipe or device reports neither a regular file nor a directory.
#include "platform/regular_file.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>

namespace vorn {

FILE* openAssetFile(const char* path, const char* mode) {
  struct _stat64 info {};
  if (_stat64(path, &info) != 0) return nullptr;
  const unsigned type = info.st_mode & _S_IFMT;
  if (type != _S_IFREG && type != _S_IFDIR) {
    errno = EINVAL;
    return nullptr;
  }
  return std::fopen(path, mode);
}

}  // namespace vorn
