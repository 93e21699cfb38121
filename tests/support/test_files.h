// Scratch files for tests: a fresh directory per test under the system temp folder.
#pragma once

#include <string>

namespace vorn::test {

// Creates (and empties) a directory named after the current test; returns its path.
std::string scratchDir();
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// Sets an environment variable for this process and the programs it starts.
void setVariable(const std::string& name, const std::string& value);

}  // namespace vorn::test
