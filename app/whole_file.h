// Writing a file in one go, for the sinks' small files and their probes.
#pragma once

#include <cstddef>
#include <string>

namespace vorn {

// Writes size bytes of data to path, replacing it. False with the system's
// reason in error; a file left half-written is removed.
bool writeWholeFile(const std::string& path, const void* data, size_t size, std::string& error);

}  // namespace vorn
