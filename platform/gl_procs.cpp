// GL entry points through SDL_GL_GetProcAddress.
#include "platform/gl_procs.h"

#include <SDL/SDL.h>

#include <cstdlib>
#include <cstring>

namespace vorn::gl {

PFNGLACTIVETEXTUREARBPROC activeTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC multiTexCoord2fARB = nullptr;
FramebufferProcs fbo;
PFNGLTEXSTORAGE2DPROC texStorage2D = nullptr;

namespace {

// True when the space-separated extension string names `name` exactly.
bool hasExtension(const char* name) {
  const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!all) return false;
  const size_t length = std::strlen(name);
  for (const char* p = std::strstr(all, name); p; p = std::strstr(p + 1, name)) {
    const bool starts = p == all || p[-1] == ' ';
    const bool ends = p[length] == ' ' || p[length] == '\0';
    if (starts && ends) return true;
  }
  return false;
}

// The context's version as major * 10 + minor (4.2 is 42); 0 when unknown.
int version() {
  const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!text) return 0;
  const char* dot = std::strchr(text, '.');
  return std::atoi(text) * 10 + (dot ? std::atoi(dot + 1) % 10 : 0);
}

int majorVersion() { return version() / 10; }

template <typename Proc>
void fetch(Proc& proc, const char* name, const char* suffix) {
  char full[64];
  std::strncpy(full, name, sizeof full - 8);
  full[sizeof full - 8] = '\0';
  std::strcat(full, suffix);
  proc = reinterpret_cast<Proc>(SDL_GL_GetProcAddress(full));
}

}  // namespace

bool loadMultitexture() {
  auto active = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(SDL_GL_GetProcAddress("glActiveTextureARB"));
  auto texCoord = reinterpret_cast<PFNGLMULTITEXCOORD2FARBPROC>(SDL_GL_GetProcAddress("glMultiTexCoord2fARB"));
  if (!active || !texCoord) return false;
  activeTextureARB = active;
  multiTexCoord2fARB = texCoord;
  return true;
}

bool loadFramebufferObject() {
  fbo = FramebufferProcs{};
  const int major = majorVersion();
  const bool anySize = major >= 2 || hasExtension("GL_ARB_texture_non_power_of_two");
  const char* suffix = nullptr;
  if (hasExtension("GL_EXT_framebuffer_object")) {
    suffix = "EXT";
  } else if (major >= 3 || hasExtension("GL_ARB_framebuffer_object")) {
    suffix = "";
  }
  if (!suffix || !anySize) return false;

  FramebufferProcs p;
  fetch(p.genFramebuffers, "glGenFramebuffers", suffix);
  fetch(p.deleteFramebuffers, "glDeleteFramebuffers", suffix);
  fetch(p.bindFramebuffer, "glBindFramebuffer", suffix);
  fetch(p.framebufferTexture2D, "glFramebufferTexture2D", suffix);
  fetch(p.framebufferRenderbuffer, "glFramebufferRenderbuffer", suffix);
  fetch(p.checkFramebufferStatus, "glCheckFramebufferStatus", suffix);
  fetch(p.genRenderbuffers, "glGenRenderbuffers", suffix);
  fetch(p.deleteRenderbuffers, "glDeleteRenderbuffers", suffix);
  fetch(p.bindRenderbuffer, "glBindRenderbuffer", suffix);
  fetch(p.renderbufferStorage, "glRenderbufferStorage", suffix);
  const bool complete = p.genFramebuffers && p.deleteFramebuffers && p.bindFramebuffer && p.framebufferTexture2D &&
                        p.framebufferRenderbuffer && p.checkFramebufferStatus && p.genRenderbuffers &&
                        p.deleteRenderbuffers && p.bindRenderbuffer && p.renderbufferStorage;
  if (complete) fbo = p;
  return complete;
}

void loadTextureStorage() {
  texStorage2D = nullptr;
  if (version() >= 42 || hasExtension("GL_ARB_texture_storage"))
    texStorage2D = reinterpret_cast<PFNGLTEXSTORAGE2DPROC>(SDL_GL_GetProcAddress("glTexStorage2D"));
}

}  // namespace vorn::gl
