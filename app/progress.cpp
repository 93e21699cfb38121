// Rate-limited progress lines.
#include "app/progress.h"

#include <unistd.h>

#include <cmath>

namespace vorn {

namespace {
constexpr double kTerminalInterval = 0.25;  // seconds: at most four updates a second
constexpr double kPlainInterval = 5.0;      // seconds between plain lines when not on a terminal

// "1:05" style minutes and seconds.
std::string formatDuration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0.0) return "?";
  const long s = static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}
}  // namespace

Progress::Progress(std::string what, long total, FILE* out)
    : what_(std::move(what)),
      total_(total),
      out_(out),
      terminal_(isatty(fileno(out)) != 0),
      begin_(std::chrono::steady_clock::now()),
      lastPrint_(begin_) {}

void Progress::update(long done) {
  const auto now = std::chrono::steady_clock::now();
  const double since = std::chrono::duration<double>(now - lastPrint_).count();
  if (since < (terminal_ ? kTerminalInterval : kPlainInterval)) return;
  lastPrint_ = now;
  print(done, false);
}

void Progress::finish() { print(total_, true); }

void Progress::print(long done, bool final) {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin_).count();
  const double fraction = total_ > 0 ? static_cast<double>(done) / static_cast<double>(total_) : 1.0;
  const double remaining = done > 0 ? elapsed * (1.0 - fraction) / fraction : -1.0;
  std::fprintf(out_, "%s%s: %ld/%ld frames (%3.0f%%), elapsed %s, remaining %s%s", terminal_ ? "\r" : "", what_.c_str(),
               done, total_, 100.0 * fraction, formatDuration(elapsed).c_str(),
               formatDuration(final ? 0.0 : remaining).c_str(), terminal_ && !final ? "   " : "\n");
  std::fflush(out_);
}

}  // namespace vorn
