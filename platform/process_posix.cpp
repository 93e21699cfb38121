// Other programs on POSIX systems, started by posix_spawnp: between fork and
// exec only async-signal-safe calls are allowed while other threads (the
// GL's among them) run, so no code of ours runs in the child at all.
#include "platform/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vorn {

struct ChildProcess::State {
  pid_t pid = -1;  // -1 before the start and once the program's end is collected
  int input = -1;  // the pipe's writing end
  bool started = false;
  size_t pipeBytes = 0;  // asked for by reserveInput; 0 leaves the system's size
  int status = -1;       // once ended: the exit status, -1 when killed
  double cpuSeconds = 0.0;
};

namespace {

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec); }

bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Collects the program's end when it has come (always, without WNOHANG).
// False while it still runs.
bool collect(ChildProcess::State& s, int options) {
  if (s.pid < 0) return true;
  int status = 0;
  rusage usage{};
  pid_t done;
  while ((done = wait4(s.pid, &status, options, &usage)) < 0 && errno == EINTR) {
  }
  if (done == 0) return false;
  s.status = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (done > 0) s.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  s.pid = -1;
  return true;
}

}  // namespace

std::string howToGetProgram(const std::string& name) { return "install the Debian package " + name; }

std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  const std::string dirs = path ? path : "/usr/bin:/bin";
  size_t begin = 0;
  while (begin <= dirs.size()) {
    size_t end = dirs.find(':', begin);
    if (end == std::string::npos) end = dirs.size();
    const std::string dir = dirs.substr(begin, end - begin);
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;  // an empty entry is the working directory
    if (isExecutableFile(candidate)) return candidate;
    begin = end + 1;
  }
  return {};
}

ChildProcess::ChildProcess() : state_(std::make_unique<State>()) {}

ChildProcess::~ChildProcess() {
  terminate();
  closeInput();
}

bool ChildProcess::start(const std::vector<std::string>& args, ChildInput input, std::string& error) {
  State& s = *state_;
  if (s.started || args.empty()) {
    error = "a child process is started once, with a program to run";
    return false;
  }
  s.started = true;
  int fds[2] = {-1, -1};
  if (input == ChildInput::Pipe) {
    if (pipe(fds) != 0) {
      error = std::string("cannot make a pipe: ") + std::strerror(errno);
      return false;
    }
    // Neither end reaches another child; this one gets the reading end as
    // its standard input through the dup below, which clears the flag.
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
#ifdef F_SETPIPE_SZ
    if (s.pipeBytes > 0) fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(s.pipeBytes));
#endif
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (input == ChildInput::Pipe) {
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (fds[0] >= 0) close(fds[0]);
  if (failed != 0) {
    if (fds[1] >= 0) close(fds[1]);
    error = "cannot start " + args[0] + ": " + std::strerror(failed);
    return false;
  }
  s.pid = pid;
  s.input = fds[1];
  return true;
}

int ChildProcess::inputFd() const { return state_->input; }

void ChildProcess::reserveInput(size_t bytes) { state_->pipeBytes = bytes; }

void ChildProcess::closeInput() {
  if (state_->input < 0) return;
  close(state_->input);
  state_->input = -1;
}

int ChildProcess::wait() {
  closeInput();
  collect(*state_, 0);
  return state_->status;
}

bool ChildProcess::ended(int& status) {
  if (!collect(*state_, WNOHANG)) return false;
  status = state_->status;
  return true;
}

void ChildProcess::terminate() {
  if (state_->pid > 0) kill(state_->pid, SIGTERM);
  collect(*state_, 0);
}

double ChildProcess::cpuSeconds() const { return state_->cpuSeconds; }

}  // namespace vorn
