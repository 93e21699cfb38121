// Framebuffer-object frame and its scaled presentation.
#include "app/frame_target.h"

#include <GL/glext.h>

#include <algorithm>

#include "platform/gl_procs.h"

namespace vorn {

namespace {

GLint integer(GLenum name) {
  GLint v = 0;
  glGetIntegerv(name, &v);
  return v;
}

// The renderbuffer format holding exactly the window's depth precision, so a
// depth test decides every pixel as it does in the window.
GLenum depthFormatFor(GLint bits) {
  if (bits <= 16) return GL_DEPTH_COMPONENT16;
  if (bits <= 24) return GL_DEPTH_COMPONENT24;
  return GL_DEPTH_COMPONENT32;
}

const char* statusText(GLenum status) {
  switch (status) {
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT: return "unsupported combination of formats";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT: return "incomplete attachment";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT: return "missing attachment";
    default: return "incomplete";
  }
}

}  // namespace

PictureRect fitPicture(int windowWidth, int windowHeight, int frameWidth, int frameHeight) {
  PictureRect r;
  if (windowWidth <= 0 || windowHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return r;
  const long long wide = static_cast<long long>(windowWidth) * frameHeight;
  const long long tall = static_cast<long long>(windowHeight) * frameWidth;
  if (wide >= tall) {
    // Bars left and right: the height decides.
    r.height = windowHeight;
    r.width = static_cast<int>(std::min<long long>(windowWidth, (tall + frameHeight / 2) / frameHeight));
  } else {
    r.width = windowWidth;
    r.height = static_cast<int>(std::min<long long>(windowHeight, (wide + frameWidth / 2) / frameWidth));
  }
  r.x = (windowWidth - r.width) / 2;
  r.y = (windowHeight - r.height) / 2;
  return r;
}

std::unique_ptr<FrameTarget> FrameTarget::create(int width, int height, std::string& why) {
  const gl::FramebufferProcs& f = gl::fbo;
  if (!f.genFramebuffers) {
    why = "the OpenGL driver has no framebuffer objects";
    return nullptr;
  }
  // Read from the window's own framebuffer: the frame copies its precision.
  const GLint windowDepth = integer(GL_DEPTH_BITS);
  const bool windowAlpha = integer(GL_ALPHA_BITS) > 0;
  const GLint previousTexture = integer(GL_TEXTURE_BINDING_2D);

  std::unique_ptr<FrameTarget> t(new FrameTarget());
  t->width_ = width;
  t->height_ = height;
  glGenTextures(1, &t->colour_);
  glBindTexture(GL_TEXTURE_2D, t->colour_);
  glTexImage2D(GL_TEXTURE_2D, 0, windowAlpha ? GL_RGBA8 : GL_RGB8, width, height, 0, windowAlpha ? GL_RGBA : GL_RGB,
               GL_UNSIGNED_BYTE, nullptr);
  // Linear filtering for the scaled presentation; edge clamping so the
  // border texels are not blended with the border colour.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));

  f.genRenderbuffers(1, &t->depth_);
  f.bindRenderbuffer(GL_RENDERBUFFER_EXT, t->depth_);
  f.renderbufferStorage(GL_RENDERBUFFER_EXT, depthFormatFor(windowDepth), width, height);
  f.bindRenderbuffer(GL_RENDERBUFFER_EXT, 0);

  f.genFramebuffers(1, &t->framebuffer_);
  f.bindFramebuffer(GL_FRAMEBUFFER_EXT, t->framebuffer_);
  f.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, t->colour_, 0);
  f.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, t->depth_);
  const GLenum status = f.checkFramebufferStatus(GL_FRAMEBUFFER_EXT);
  t->depthBits_ = integer(GL_DEPTH_BITS);
  f.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  while (glGetError() != GL_NO_ERROR) {
  }

  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
    why = std::string("the off-screen frame cannot be made: ") + statusText(status);
    return nullptr;
  }
  if (t->depthBits_ != windowDepth) {
    why = "the off-screen frame has " + std::to_string(t->depthBits_) + " depth bits, the window " +
          std::to_string(windowDepth);
    return nullptr;
  }
  return t;
}

FrameTarget::~FrameTarget() {
  const gl::FramebufferProcs& f = gl::fbo;
  if (f.deleteFramebuffers && framebuffer_) f.deleteFramebuffers(1, &framebuffer_);
  if (f.deleteRenderbuffers && depth_) f.deleteRenderbuffers(1, &depth_);
  if (colour_) glDeleteTextures(1, &colour_);
}

void FrameTarget::bind() const { gl::fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_); }

bool FrameTarget::alive() const { return glIsTexture(colour_) == GL_TRUE; }

void FrameTarget::present(int windowWidth, int windowHeight) const {
  gl::fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
  // Everything below is undone by the pops: the show keeps its enables,
  // bindings, texture environments, colours, viewport and matrices.
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  const GLint units = std::max<GLint>(1, integer(GL_MAX_TEXTURE_UNITS_ARB));
  for (GLint unit = units - 1; unit >= 0; --unit) {
    gl::activeTextureARB(GL_TEXTURE0_ARB + static_cast<GLenum>(unit));
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_3D);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);
  }
  for (GLenum cap : {GL_LIGHTING, GL_FOG, GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_ALPHA_TEST, GL_SCISSOR_TEST,
                     GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_POLYGON_STIPPLE, GL_POLYGON_OFFSET_FILL})
    glDisable(cap);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glViewport(0, 0, windowWidth, windowHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT);

  const PictureRect r = fitPicture(windowWidth, windowHeight, width_, height_);
  glViewport(r.x, r.y, r.width, r.height);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, colour_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glPopAttrib();
}

}  // namespace vorn
