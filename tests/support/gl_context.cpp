// The shared GL context of a test binary and small read-back helpers.
#include "tests/support/gl_context.h"

#include <GL/glext.h>
#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>

#include "fx/screen_size.h"
#include "platform/gl_procs.h"
#include "platform/png_file.h"

namespace vorn::test {

namespace {
bool opened = false;
bool failed = false;
}  // namespace

void ensureGlContext() {
  if (!opened && !failed) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      failed = true;
    } else {
      SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
      SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
      SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
      SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
      SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
      if (!SDL_SetVideoMode(kScreenWidth, kScreenHeight, 32, SDL_OPENGL) || !gl::loadMultitexture()) {
        failed = true;
      } else {
        opened = true;
        std::atexit(SDL_Quit);
      }
    }
  }
  ASSERT_FALSE(failed) << "no OpenGL context: run the tests under a display (scripts/test.sh starts Xvfb): "
                       << SDL_GetError();
}

// The back buffer, or the Engine's off-screen frame while that is bound.
void readFromFrame() {
  GLint framebuffer = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
  glReadBuffer(framebuffer ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
}

Rgba readPixel(int x, int y) {
  GLubyte p[4] = {0, 0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  readFromFrame();
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return {p[0], p[1], p[2], p[3]};
}

Rgba readPixelTop(int x, int yFromTop) { return readPixel(x, kScreenHeight - 1 - yFromTop); }

GLint getInteger(GLenum name) {
  GLint v = 0;
  glGetIntegerv(name, &v);
  return v;
}

std::array<GLfloat, 16> getMatrix(GLenum name) {
  std::array<GLfloat, 16> m{};
  glGetFloatv(name, m.data());
  return m;
}

StackDepths stackDepths() {
  return {getInteger(GL_PROJECTION_STACK_DEPTH), getInteger(GL_MODELVIEW_STACK_DEPTH),
          getInteger(GL_ATTRIB_STACK_DEPTH)};
}

void saveBackBuffer(const char* path) {
  std::vector<unsigned char> pixels(800 * 600 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  readFromFrame();
  glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  PngFormat format;
  format.colour = PngColour::Rgb;
  format.bottomRowFirst = true;
  std::string error;
  if (!writePng(path, 800, 600, pixels, error, format)) ADD_FAILURE() << error;
}

void GlTest::SetUp() {
  ensureGlContext();
  if (HasFatalFailure()) return;
  while (glGetError() != GL_NO_ERROR) {
  }
  for (int unit = 3; unit >= 0; --unit) {
    gl::activeTextureARB(GL_TEXTURE0_ARB + unit);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, kScreenWidth, kScreenHeight);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDepthMask(GL_TRUE);
  glShadeModel(GL_SMOOTH);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlTest::TearDown() {
  if (opened) {
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "a GL error was left by the test";
  }
}

}  // namespace vorn::test
