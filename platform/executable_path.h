// Where the running program's own file lies, so that files installed or built
// beside it can be found from any working directory.
#pragma once

#include <string>

namespace vorn {

// The executable's full path with symbolic links resolved; empty when the
// system cannot say (callers then look only where they were told to).
std::string executablePath();

}  // namespace vorn
