// Real X screens for end-to-end display tests: a private Xvfb per test (its
// display number chosen by the server, so tests may run in parallel), the
// program started on it, and screenshots of the root or a window via XGetImage.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorn::test {

struct Image {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // top row first
  const uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
  bool empty() const { return rgb.empty(); }
};

bool writeImagePng(const std::string& path, const Image& image);
Image readImagePng(const std::string& path);

// The bounding box of pixels brighter than `threshold` (any channel), in
// image coordinates (origin top left); width 0 when there are none.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};
Box brightBox(const Image& image, int threshold);

// Compares `shown` (the region `box` of a screenshot) with `frame` scaled to
// it by bilinear filtering: the fraction of channel values that differ by
// more than `tolerance`.
double scaledMismatch(const Image& screen, const Box& box, const Image& frame, int tolerance);

class XServer {
 public:
  // Starts Xvfb, with GLX unless told otherwise; ok() says whether it runs.
  XServer(int width, int height, bool glx = true);
  ~XServer();  // ends that server, by its process id
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool ok() const { return pid_ > 0 && !name_.empty(); }
  const std::string& name() const { return name_; }  // ":N"

  Image grabRoot() const;
  // The largest mapped top-level window (the program's), grabbed alone.
  Image grabTopWindow() const;
  // Resizes the largest mapped top-level window as a window manager would.
  bool resizeTopWindow(int width, int height) const;

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// The program running on a server; ended by its process id when destroyed.
class ProgramProcess {
 public:
  // Runs `command` through the shell with DISPLAY set to the server's, in
  // the current directory; stderr goes to a file read by errors().
  ProgramProcess(const XServer& server, const std::string& command);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool running() const;
  std::string errors() const;
  // Waits up to `seconds` for stderr to contain `text`.
  bool waitForError(const std::string& text, double seconds) const;

 private:
  pid_t pid_ = -1;
  std::string errPath_;
};

// Polls `grab` until two grabs in a row are equal and their bright box has
// the given size, or `seconds` pass; returns the last grab.
Image waitForSteadyPicture(const std::function<Image()>& grab, int boxWidth, int boxHeight, double seconds);

}  // namespace vorn::test
