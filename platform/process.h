// Other programs run by this one (the video encoder): finding one on the
// PATH, starting it with its standard input from a pipe or from nothing, and
// waiting for its end. Writing into the pipe is the caller's (a PipeWriter).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

// The full name of the program called name in the first directory of PATH
// that holds it as an executable file ("name.exe" on Windows); empty when
// none does.
std::string findProgram(const std::string& name);

// For an error message when findProgram finds nothing: how a user of this
// operating system gets the program called name ("install the Debian package
// ffmpeg").
std::string howToGetProgram(const std::string& name);

enum class ChildInput {
  Pipe,     // the child reads what is written to inputFd()
  Nothing,  // the child reads an empty input
};

// One started program. Destroying it while the program runs ends the
// program first (terminate()), then closes the input.
class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts args[0] (a full name, as findProgram gives) with args as its
  // argument list; its output and errors go where this program's go. False
  // with a one-line reason in error; one ChildProcess starts at most once.
  bool start(const std::vector<std::string>& args, ChildInput input, std::string& error);
  // The writing end of the input pipe, a C file descriptor for write(); -1
  // without a pipe or once closed. Owned here: closeInput() or the end closes it.
  int inputFd() const;
  // Before start(): asks for room for bytes in the pipe, so that one write
  // need not wait for the reader; the system may give less, only slower.
  void reserveInput(size_t bytes);
  // Closes the input pipe: the child reads its end.
  void closeInput();
  // Closes the input (no write may be under way) and waits for the end.
  // Returns the exit status, or -1 when the program was killed or never started.
  int wait();
  // Without waiting: false while running; otherwise true with the exit
  // status (-1 when killed) in status, as wait() would return it.
  bool ended(int& status);
  // Ends a running program at once and waits for it. The input stays open,
  // as a write blocked on it may still be returning; closeInput() ends it.
  void terminate();
  // Processor seconds (user and system) the program used; known after it ended.
  double cpuSeconds() const;

  struct State;  // the system's handles, opaque: process_posix.cpp or process_windows.cpp

 private:
  std::unique_ptr<State> state_;
};

}  // namespace vorn
