// Progress of long offline work on stderr: frames done, percent, elapsed and
// remaining time. At most four updates a second on a terminal (one rewritten
// line); a plain line every few seconds otherwise.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace vorn {

class Progress {
 public:
  Progress(std::string what, long total, FILE* out = stderr);
  void update(long done);
  void finish();

 private:
  void print(long done, bool final);

  std::string what_;
  long total_;
  FILE* out_;
  bool terminal_;
  std::chrono::steady_clock::time_point begin_;
  std::chrono::steady_clock::time_point lastPrint_;
};

}  // namespace vorn
