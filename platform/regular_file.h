// Opening asset files without blocking: a named pipe or device in place of an
// asset would make a plain fopen wait forever for a writer.
#pragma once

#include <cstdio>

namespace vorn {

// Like std::fopen(path, mode) for reading, but refuses (returns null with
// errno EINVAL) anything that is neither a regular file nor a directory,
// without waiting on it. Directories open as fopen opens them.
FILE* openAssetFile(const char* path, const char* mode);

}  // namespace vorn
