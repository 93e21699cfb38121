// Private Xvfb servers, the program on them, and screenshots.
#include "tests/support/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/png_file.h"
#include "tests/support/test_files.h"

namespace vorn::test {

namespace {

constexpr double kServerStartSeconds = 30.0;

void endProcess(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// A test must not end on an X error (a window gone between query and grab).
int ignoreXError(Display*, XErrorEvent*) { return 0; }

Image grab(Display* d, Window w, int left, int top, int width, int height) {
  Image image;
  XImage* x =
      XGetImage(d, w, left, top, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!x) return image;
  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int px = 0; px < width; ++px) {
      const unsigned long p = XGetPixel(x, px, y);
      uint8_t* out = image.rgb.data() + (static_cast<size_t>(y) * width + px) * 3;
      out[0] = static_cast<uint8_t>((p & x->red_mask) >> 16);
      out[1] = static_cast<uint8_t>((p & x->green_mask) >> 8);
      out[2] = static_cast<uint8_t>(p & x->blue_mask);
    }
  }
  XDestroyImage(x);
  return image;
}

// The largest mapped child of the root (the program's top-level window),
// with its position on the root.
Window topWindow(Display* d, int& x, int& y, int& width, int& height) {
  Window root = DefaultRootWindow(d), parent = 0, best = 0, *children = nullptr;
  unsigned count = 0;
  long bestArea = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, children[i], &a) || a.map_state != IsViewable) continue;
    if (static_cast<long>(a.width) * a.height > bestArea) {
      bestArea = static_cast<long>(a.width) * a.height;
      best = children[i];
      x = a.x;
      y = a.y;
      width = a.width;
      height = a.height;
    }
  }
  if (children) XFree(children);
  return best;
}

}  // namespace

bool writeImagePng(const std::string& path, const Image& image) {
  PngFormat format;
  format.colour = PngColour::Rgb;
  std::string error;
  return writePng(path, image.width, image.height, image.rgb, error, format);
}

Image readImagePng(const std::string& path) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  Image image;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) return Image{};
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  return image;
}

Box brightBox(const Image& image, int threshold) {
  int x0 = image.width, y0 = image.height, x1 = -1, y1 = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.at(x, y);
      if (p[0] <= threshold && p[1] <= threshold && p[2] <= threshold) continue;
      x0 = std::min(x0, x);
      y0 = std::min(y0, y);
      x1 = std::max(x1, x);
      y1 = std::max(y1, y);
    }
  if (x1 < 0) return {};
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

double scaledMismatch(const Image& screen, const Box& box, const Image& frame, int tolerance) {
  if (box.width <= 0 || box.height <= 0 || frame.empty()) return 1.0;
  long bad = 0, total = 0;
  for (int y = 0; y < box.height; ++y) {
    // Texel coordinates of the pixel centre, as linear filtering samples them.
    const double fy = (y + 0.5) * frame.height / box.height - 0.5;
    const int y0 = std::clamp(static_cast<int>(std::floor(fy)), 0, frame.height - 1);
    const int y1 = std::min(y0 + 1, frame.height - 1);
    const double wy = std::clamp(fy - std::floor(fy), 0.0, 1.0);
    for (int x = 0; x < box.width; ++x) {
      const double fx = (x + 0.5) * frame.width / box.width - 0.5;
      const int x0 = std::clamp(static_cast<int>(std::floor(fx)), 0, frame.width - 1);
      const int x1 = std::min(x0 + 1, frame.width - 1);
      const double wx = std::clamp(fx - std::floor(fx), 0.0, 1.0);
      const uint8_t* s = screen.at(box.x + x, box.y + y);
      for (int c = 0; c < 3; ++c) {
        const double top = frame.at(x0, y0)[c] * (1 - wx) + frame.at(x1, y0)[c] * wx;
        const double bottom = frame.at(x0, y1)[c] * (1 - wx) + frame.at(x1, y1)[c] * wx;
        const double want = top * (1 - wy) + bottom * wy;
        if (std::fabs(want - s[c]) > tolerance) ++bad;
        ++total;
      }
    }
  }
  return static_cast<double>(bad) / static_cast<double>(total);
}

XServer::XServer(int width, int height, bool glx) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(fds[1]);
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), glx ? "+extension" : "-extension",
           "GLX", "+render", "-noreset", "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    return;
  }
  // The server writes its display number once it accepts connections.
  std::string number;
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(kServerStartSeconds);
  char c = 0;
  while (std::chrono::steady_clock::now() < until && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

XServer::~XServer() { endProcess(pid_); }

Image XServer::grabRoot() const {
  XSetErrorHandler(ignoreXError);
  Display* d = XOpenDisplay(name_.c_str());
  if (!d) return {};
  const Image image = grab(d, DefaultRootWindow(d), 0, 0, DisplayWidth(d, 0), DisplayHeight(d, 0));
  XCloseDisplay(d);
  return image;
}

Image XServer::grabTopWindow() const {
  XSetErrorHandler(ignoreXError);
  Display* d = XOpenDisplay(name_.c_str());
  if (!d) return {};
  int x = 0, y = 0, width = 0, height = 0;
  const Window w = topWindow(d, x, y, width, height);
  // Taken from the root, which any on-screen rectangle can be read from.
  const bool onScreen = x >= 0 && y >= 0 && x + width <= DisplayWidth(d, 0) && y + height <= DisplayHeight(d, 0);
  const Image image = w && onScreen ? grab(d, DefaultRootWindow(d), x, y, width, height) : Image{};
  XCloseDisplay(d);
  return image;
}

bool XServer::resizeTopWindow(int width, int height) const {
  XSetErrorHandler(ignoreXError);
  Display* d = XOpenDisplay(name_.c_str());
  if (!d) return false;
  int x = 0, y = 0, w = 0, h = 0;
  const Window top = topWindow(d, x, y, w, h);
  if (top) XResizeWindow(d, top, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XSync(d, False);
  XCloseDisplay(d);
  return top != 0;
}

ProgramProcess::ProgramProcess(const XServer& server, const std::string& command) {
  static int counter = 0;
  errPath_ = "/tmp/vorn-display-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".err";
  const std::string display = server.name();
  pid_ = fork();
  if (pid_ == 0) {
    setenv("DISPLAY", display.c_str(), 1);
    const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    // Its own process group, so ending it ends the program behind the shell too.
    setpgid(0, 0);
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) kill(-pid_, SIGTERM);
  endProcess(pid_);
  if (pid_ > 0) kill(-pid_, SIGKILL);  // whatever of its group is left
  std::remove(errPath_.c_str());
}

bool ProgramProcess::running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

std::string ProgramProcess::errors() const { return readFile(errPath_); }

bool ProgramProcess::waitForError(const std::string& text, double seconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (errors().find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

Image waitForSteadyPicture(const std::function<Image()>& grab, int boxWidth, int boxHeight, double seconds) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  Image previous;
  for (;;) {
    Image now = grab();
    const Box b = brightBox(now, 0);
    if (!now.empty() && now.rgb == previous.rgb && b.width == boxWidth && b.height == boxHeight) return now;
    if (std::chrono::steady_clock::now() >= until) return now;
    previous = std::move(now);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
}

}  // namespace vorn::test
