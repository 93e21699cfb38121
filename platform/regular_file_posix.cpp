// POSIX: non-blocking open, type check, then an ordinary blocking stream.
#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vorn {

FILE* openAssetFile(const char* path, const char* mode) {
  // O_NONBLOCK keeps the open itself from waiting for a pipe's writer.
  const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  FILE* f = fdopen(fd, mode);
  if (!f) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
  }
  return f;
}

}  // namespace vorn
