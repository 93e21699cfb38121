// Other programs on Windows, started by CreateProcess with an anonymous pipe
// as standard input; the pipe's writing end is handed out as a C runtime
// file descriptor, so the same writer serves both systems.
#include "platform/process.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>

namespace vorn {

struct ChildProcess::State {
  HANDLE process = nullptr;  // null before the start and once the program's end is collected
  int input = -1;            // owns the pipe's writing end
  bool started = false;
  size_t pipeBytes = 0;  // asked for by reserveInput; 0 leaves the system's size
  int status = -1;       // once ended: the exit code, -1 when terminated here
  double cpuSeconds = 0.0;
};

namespace {

// FILETIME durations count 100-nanosecond steps.
double seconds(const FILETIME& t) {
  const ULONGLONG ticks = (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  return static_cast<double>(ticks) * 1e-7;
}

std::string systemMessage(DWORD code) {
  char text[256] = "";
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                 sizeof text, nullptr);
  std::string message(text, n);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

bool isExecutableFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool hasExeSuffix(const std::string& name) {
  if (name.size() < 4) return false;
  std::string suffix = name.substr(name.size() - 4);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return suffix == ".exe";
}

// Appends arg to a command line so that the child's C runtime splits it back
// into exactly arg: quoted when it holds blanks or quotes, with the
// backslashes before a quote (and before the closing quote) doubled.
void appendArgument(std::string& line, const std::string& arg) {
  if (!line.empty()) line += ' ';
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += arg;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, '\\');
  line += '"';
}

// Collects the program's end when it has come (always, with INFINITE).
// False while it still runs.
bool collect(ChildProcess::State& s, DWORD waitMilliseconds) {
  if (!s.process) return true;
  if (WaitForSingleObject(s.process, waitMilliseconds) == WAIT_TIMEOUT) return false;
  DWORD code = 0;
  s.status = GetExitCodeProcess(s.process, &code) ? static_cast<int>(code) : -1;
  FILETIME created, exited, kernel, user;
  if (GetProcessTimes(s.process, &created, &exited, &kernel, &user)) s.cpuSeconds = seconds(kernel) + seconds(user);
  CloseHandle(s.process);
  s.process = nullptr;
  return true;
}

}  // namespace

std::string howToGetProgram(const std::string& name) {
  return "install " + name + " and add the folder of " + name + ".exe to PATH";
}

std::string findProgram(const std::string& name) {
  const std::string file = hasExeSuffix(name) ? name : name + ".exe";
  const char* path = std::getenv("PATH");
  const std::string dirs = path ? path : "";
  size_t begin = 0;
  while (begin < dirs.size()) {
    size_t end = dirs.find(';', begin);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(begin, end - begin);
    begin = end + 1;
    if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
    if (dir.empty()) continue;
    const char last = dir.back();
    const std::string candidate = dir + (last == '\\' || last == '/' ? "" : "\\") + file;
    if (isExecutableFile(candidate)) return candidate;
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
  // Only the child's end of the pipe (or of NUL) is inherited; the writing
  // end stays ours, or the child would hold its own input open.
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE childInput = INVALID_HANDLE_VALUE;
  HANDLE writeEnd = INVALID_HANDLE_VALUE;
  if (input == ChildInput::Pipe) {
    if (!CreatePipe(&childInput, &writeEnd, &inherited, static_cast<DWORD>(s.pipeBytes))) {
      error = "cannot make a pipe: " + systemMessage(GetLastError());
      return false;
    }
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
  } else {
    childInput = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (childInput == INVALID_HANDLE_VALUE) {
      error = "cannot open NUL: " + systemMessage(GetLastError());
      return false;
    }
  }
  std::string line;
  for (const auto& a : args) appendArgument(line, a);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  const BOOL started =
      CreateProcessA(args[0].c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
  const DWORD failure = GetLastError();
  CloseHandle(childInput);
  if (!started) {
    if (writeEnd != INVALID_HANDLE_VALUE) CloseHandle(writeEnd);
    error = "cannot start " + args[0] + ": " + systemMessage(failure);
    return false;
  }
  CloseHandle(info.hThread);
  s.process = info.hProcess;
  if (writeEnd != INVALID_HANDLE_VALUE) {
    s.input = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY);
    if (s.input < 0) {
      CloseHandle(writeEnd);
      error = "cannot hand the pipe to the C runtime";
      terminate();
      return false;
    }
    _setmode(s.input, _O_BINARY);  // frames are bytes, never text
  }
  return true;
}

int ChildProcess::inputFd() const { return state_->input; }

void ChildProcess::reserveInput(size_t bytes) { state_->pipeBytes = bytes; }

void ChildProcess::closeInput() {
  if (state_->input < 0) return;
  _close(state_->input);
  state_->input = -1;
}

int ChildProcess::wait() {
  closeInput();
  collect(*state_, INFINITE);
  return state_->status;
}

bool ChildProcess::ended(int& status) {
  if (!collect(*state_, 0)) return false;
  status = state_->status;
  return true;
}

void ChildProcess::terminate() {
  if (collect(*state_, 0)) return;  // not started, or ended by itself
  TerminateProcess(state_->process, 1);
  collect(*state_, INFINITE);
  state_->status = -1;
}

double ChildProcess::cpuSeconds() const { return state_->cpuSeconds; }

}  // namespace vorn
