// The executable's path from Linux's /proc/self/exe; elsewhere (the browser's
// file system has no /proc) the link is absent and the path empty.
#include "platform/executable_path.h"

#include <unistd.h>

#include <vector>

namespace vorn {

std::string executablePath() {
  // readlink does not say whether it cut the name short, so the buffer grows
  // until the name leaves room to spare.
  for (std::size_t size = 256; size <= (1u << 16); size *= 2) {
    std::vector<char> buffer(size);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
  }
  return {};
}

}  // namespace vorn
