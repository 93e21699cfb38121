// Runs the built program end to end for the test binaries that define
// VORN_PROGRAM (its path), and collects its status, output and run time.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/test_files.h"

namespace vorn::test {

struct ProgramRun {
  int status = -1;  // exit status; -1 when the program died by a signal
  std::string out;
  std::string err;
  double seconds = 0.0;
};

// Runs the program from dir through the shell. prefix comes before the
// program on the command line (variables, or a wrapper command), args after
// it; both are shell text. program is the executable to run, the built one
// unless a test made a copy. Its output goes to files beside the tests'
// scratch folders, which a run must not wipe.
inline ProgramRun runProgram(const std::string& args, const std::string& prefix = "", const std::string& dir = ".",
                             const std::string& program = VORN_PROGRAM) {
  namespace fs = std::filesystem;
  const std::string logs = fs::temp_directory_path().string() + "/vorn-tests/program-logs";
  fs::create_directories(logs);
  static int counter = 0;
  const std::string tag = std::to_string(getpid()) + "-" + std::to_string(counter++);
  const std::string outPath = logs + "/out-" + tag;
  const std::string errPath = logs + "/err-" + tag;
  const std::string command =
      "cd '" + dir + "' && " + prefix + " '" + program + "' " + args + " >'" + outPath + "' 2>'" + errPath + "'";
  const auto begin = std::chrono::steady_clock::now();
  const int raw = std::system(command.c_str());
  ProgramRun r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = readFile(outPath);
  r.err = readFile(errPath);
  return r;
}

}  // namespace vorn::test
