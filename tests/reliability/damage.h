// Damaged copies of a valid asset for the reliability tests: each row names
// one way a file can be bad, and makeDamaged writes that version of it.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace vorn::test {

enum class Damage { Missing, Empty, Truncated, RandomBytes, ChangedBytes, Directory, Unreadable };

struct DamageRow {
  std::string name;
  Damage kind;
  double keep;      // Truncated: share of the file kept (by bytes; at least 1 byte short)
  unsigned seed;    // RandomBytes, ChangedBytes
  bool mustRefuse;  // false where the damage may leave a loadable file (changed bytes)
};

constexpr int kChangedBytes = 6;  // bytes altered in a ChangedBytes row
constexpr uid_t kNobody = 65534;
constexpr unsigned kChildSeconds = 30;

// Every row: missing, zero bytes, truncated at five points, random bytes
// (two seeds), a few bytes changed (changedSeeds seeds), a directory, and an
// unreadable file.
inline std::vector<DamageRow> damageRows(int changedSeeds) {
  std::vector<DamageRow> rows = {
      {"missing", Damage::Missing, 0, 0, true},
      {"zero bytes", Damage::Empty, 0, 0, true},
      {"first 10 bytes", Damage::Truncated, 0.0, 0, true},
      {"cut at a quarter", Damage::Truncated, 0.25, 0, true},
      {"cut at half", Damage::Truncated, 0.5, 0, true},
      {"cut at three quarters", Damage::Truncated, 0.75, 0, true},
      {"last byte missing", Damage::Truncated, 1.0, 0, true},
      {"random bytes, seed 1", Damage::RandomBytes, 0, 1, true},
      {"random bytes, seed 2", Damage::RandomBytes, 0, 2, true},
      {"a directory", Damage::Directory, 0, 0, true},
      {"unreadable", Damage::Unreadable, 0, 0, true},
  };
  for (int s = 1; s <= changedSeeds; ++s) {
    rows.push_back(
        {"bytes changed, seed " + std::to_string(s), Damage::ChangedBytes, 0, static_cast<unsigned>(s), false});
  }
  return rows;
}

// Writes the damaged version of valid at path (an unreadable file gets mode
// 000, which root still reads: see inUnprivilegedChild).
inline void makeDamaged(const std::string& valid, const DamageRow& row, const std::string& path) {
  std::mt19937 random(row.seed);
  std::string bytes = valid;
  switch (row.kind) {
    case Damage::Missing: return;
    case Damage::Empty: bytes.clear(); break;
    case Damage::Truncated: {
      size_t keep = row.keep <= 0.0 ? 10 : static_cast<size_t>(static_cast<double>(valid.size()) * row.keep);
      if (keep >= valid.size()) keep = valid.size() - 1;
      bytes.resize(keep);
      break;
    }
    case Damage::RandomBytes:
      for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
      break;
    case Damage::ChangedBytes:
      for (int i = 0; i < kChangedBytes; ++i) {
        const size_t at = random() % bytes.size();
        bytes[at] = static_cast<char>(bytes[at] ^ (1 + random() % 255));
      }
      break;
    case Damage::Directory: mkdir(path.c_str(), 0755); return;
    case Damage::Unreadable: break;
  }
  writeFile(path, bytes);
  if (row.kind == Damage::Unreadable) chmod(path.c_str(), 0);
}

// The number of lines in text (a last line without a newline counts).
inline int lineCount(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  if (!text.empty() && text.back() != '\n') ++n;
  return n;
}

// The generated assets' folder: $VORN_RUN_DIR when set, else the working
// directory (ctest runs the tests in the build's run/ folder).
inline std::string runDir() {
  const char* dir = std::getenv("VORN_RUN_DIR");
  return dir ? std::string(dir) : std::filesystem::current_path().string();
}

// Runs check(path) in a child process. Under root the child first becomes
// user nobody, so that a mode-000 file really is unreadable. False when the
// check failed, or the child crashed or hung (it is ended after
// kChildSeconds).
inline bool inUnprivilegedChild(bool (*check)(const std::string&), const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(kChildSeconds);
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
    _exit(check(path) ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vorn::test
