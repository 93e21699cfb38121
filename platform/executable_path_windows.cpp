// The executable's path from GetModuleFileName, as the system loaded it.
#include <windows.h>

#include <vector>

#include "platform/executable_path.h"

namespace vorn {

std::string executablePath() {
  // A name that fills the buffer may have been cut short, so the buffer grows
  // until the name leaves room to spare.
  for (DWORD size = 256; size <= (1u << 16); size *= 2) {
    std::vector<char> buffer(size);
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (n == 0) return {};
    if (n < size) return std::string(buffer.data(), n);
  }
  return {};
}

}  // namespace vorn
