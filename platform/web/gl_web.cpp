// The browser build's GL layer (see gl_web.h). It keeps its own copy of the
// state it must restore or act on (enables, bindings, texture environment,
// coordinate generation, blend, depth mask, colour, viewport), because the
// emulation underneath does not report all of it back. Immediate-mode
// primitives and display lists are collected as triangles and drawn from
// client arrays, which is also where sphere-map coordinates are computed and
// the GL_BLEND environment is replaced by MODULATE with an inverted picture.
#define VORN_GL_WEB_IMPLEMENTATION
#include "platform/web/gl_web.h"

#include <emscripten.h>

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

extern "C" void glGenerateMipmap(GLenum target);
extern "C" void glActiveTexture(GLenum texture);

namespace {

constexpr int kUnits = 2;

struct Unit {
  bool texture2d = false;
  bool genS = false;
  bool genT = false;
  GLint genMode = GL_EYE_LINEAR;
  GLint env = GL_MODULATE;
  GLuint bound = 0;
};

// Everything the attribute stack saves and the draws consult.
struct State {
  Unit units[kUnits];
  int active = 0;
  bool blend = false;
  bool depthTest = false;
  bool cullFace = false;
  bool lighting = false;
  bool colourMaterial = false;
  GLenum blendSrc = GL_ONE;
  GLenum blendDst = GL_ZERO;
  GLboolean depthMask = GL_TRUE;
  GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  GLint viewport[4] = {0, 0, 0, 0};
};

struct Saved {
  GLbitfield mask;
  State state;
};

struct Vertex {
  GLfloat position[3];
  GLfloat normal[3];
  GLfloat texCoord[2];
  GLfloat colour[4];
};

// One step of a recorded list: a matrix product, or triangles to draw.
struct ListStep {
  bool isMatrix = false;
  GLfloat matrix[16] = {};
  std::vector<Vertex> triangles;
};

// What is known of each texture name: its format, and the inverted twin that
// stands in for it under the GL_BLEND environment (0 when there is none).
struct TextureInfo {
  GLenum format = GL_RGBA;
  GLsizei width = 0;
  GLsizei height = 0;
  GLuint inverted = 0;
};

// The client arrays the engine points at (read back by glArrayElement).
struct ClientArray {
  bool enabled = false;
  GLint size = 0;
  GLsizei stride = 0;
  const GLfloat* pointer = nullptr;
};

State state;
std::vector<Saved> attribStack;
std::unordered_map<GLuint, TextureInfo> textures;

// Immediate mode being collected.
GLenum primitive = 0;
bool inPrimitive = false;
bool primitiveHasColour = false;
std::vector<Vertex> corners;
Vertex current = {{0, 0, 0}, {0, 0, 1}, {0, 0}, {1, 1, 1, 1}};

std::unordered_map<GLuint, std::vector<ListStep>> lists;
GLuint nextList = 1;
GLuint recordingList = 0;

ClientArray vertexArray, normalArray, texCoordArray;

GLint realEnv = -1;  // the environment last given to unit 0 of the emulation
SDL_AudioStatus audioStatus = SDL_AUDIO_STOPPED;

void setEnable(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

bool* trackedFlag(GLenum cap) {
  switch (cap) {
    case GL_BLEND: return &state.blend;
    case GL_DEPTH_TEST: return &state.depthTest;
    case GL_CULL_FACE: return &state.cullFace;
    case GL_LIGHTING: return &state.lighting;
    case GL_COLOR_MATERIAL: return &state.colourMaterial;
    case GL_TEXTURE_2D: return &state.units[state.active].texture2d;
    case GL_TEXTURE_GEN_S: return &state.units[state.active].genS;
    case GL_TEXTURE_GEN_T: return &state.units[state.active].genT;
    default: return nullptr;
  }
}

// Only these reach the emulation; the rest is carried out here or has no
// effect with lighting off.
bool forwarded(GLenum cap) {
  return cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_CULL_FACE || cap == GL_TEXTURE_2D;
}

void selectUnit(int unit) {
  glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
}

TextureInfo* boundInfo(int unit) {
  auto it = textures.find(state.units[unit].bound);
  return it == textures.end() ? nullptr : &it->second;
}

// The eye-space sphere-map coordinates of v under the current modelview.
void sphereMap(Vertex& v, const GLfloat* m) {
  const GLfloat* p = v.position;
  GLfloat e[3];
  for (int r = 0; r < 3; ++r) e[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
  const GLfloat len = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
  GLfloat u[3] = {0.0f, 0.0f, 0.0f};
  if (len > 0.0f)
    for (int r = 0; r < 3; ++r) u[r] = e[r] / len;
  // Normals go through the inverse transpose of the upper 3 x 3.
  const GLfloat a = m[0], b = m[4], c = m[8], d = m[1], f = m[5], g = m[9], h = m[2], i = m[6], k = m[10];
  const GLfloat det = a * (f * k - g * i) - b * (d * k - g * h) + c * (d * i - f * h);
  const GLfloat* nv = v.normal;
  GLfloat n[3] = {nv[0], nv[1], nv[2]};
  if (det != 0.0f) {
    // Rows of the inverse are the cofactor columns over det; n' = n * inverse.
    const GLfloat inv[3][3] = {{(f * k - g * i) / det, (c * i - b * k) / det, (b * g - c * f) / det},
                               {(g * h - d * k) / det, (a * k - c * h) / det, (c * d - a * g) / det},
                               {(d * i - f * h) / det, (b * h - a * i) / det, (a * f - b * d) / det}};
    for (int col = 0; col < 3; ++col) n[col] = nv[0] * inv[0][col] + nv[1] * inv[1][col] + nv[2] * inv[2][col];
  }
  const GLfloat dot = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
  const GLfloat rx = u[0] - 2.0f * n[0] * dot;
  const GLfloat ry = u[1] - 2.0f * n[1] * dot;
  const GLfloat rz = u[2] - 2.0f * n[2] * dot + 1.0f;
  const GLfloat mm = 2.0f * std::sqrt(rx * rx + ry * ry + rz * rz);
  v.texCoord[0] = mm > 0.0f ? rx / mm + 0.5f : 0.5f;
  v.texCoord[1] = mm > 0.0f ? ry / mm + 0.5f : 0.5f;
}

void restoreClientArrays() {
  const ClientArray* arrays[3] = {&vertexArray, &normalArray, &texCoordArray};
  const GLenum names[3] = {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY};
  for (int i = 0; i < 3; ++i) {
    if (!arrays[i]->enabled) {
      glDisableClientState(names[i]);
      continue;
    }
    glEnableClientState(names[i]);
    if (i == 0) glVertexPointer(arrays[i]->size, GL_FLOAT, arrays[i]->stride, arrays[i]->pointer);
    if (i == 1) glNormalPointer(GL_FLOAT, arrays[i]->stride, arrays[i]->pointer);
    if (i == 2) glTexCoordPointer(arrays[i]->size, GL_FLOAT, arrays[i]->stride, arrays[i]->pointer);
  }
}

// Draws triangles with the tracked state: sphere-map coordinates for unit 0
// when it generates them, and the inverted twin under GL_BLEND.
void drawTriangles(std::vector<Vertex>& tris, bool withColour) {
  if (tris.empty()) return;
  const Unit& u0 = state.units[0];
  if (u0.texture2d && u0.genS && u0.genT && u0.genMode == GL_SPHERE_MAP) {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (Vertex& v : tris) sphereMap(v, m);
  }
  GLuint twin = 0;
  GLint env = u0.env;
  if (u0.texture2d && u0.env == GL_BLEND) {
    // With the default black environment colour GL_BLEND gives
    // fragment * (1 - texel) in colour and fragment * texel in alpha.
    const TextureInfo* info = boundInfo(0);
    twin = info ? info->inverted : 0;
    env = GL_MODULATE;
  }
  if (state.active != 0) selectUnit(0);
  if (env != realEnv) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env);
    realEnv = env;
  }
  if (twin) glBindTexture(GL_TEXTURE_2D, twin);

  const GLsizei stride = sizeof(Vertex);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, tris[0].position);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, stride, tris[0].texCoord);
  glDisableClientState(GL_NORMAL_ARRAY);
  if (withColour) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, stride, tris[0].colour);
  }
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(tris.size()));
  if (withColour) {
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(state.colour[0], state.colour[1], state.colour[2], state.colour[3]);
  }
  restoreClientArrays();

  if (twin) glBindTexture(GL_TEXTURE_2D, u0.bound);
  if (state.active != 0) selectUnit(state.active);
}

// Turns the collected corners of one primitive into a triangle list.
void triangulate(GLenum mode, const std::vector<Vertex>& in, std::vector<Vertex>& out) {
  const size_t n = in.size();
  switch (mode) {
    case GL_TRIANGLES:
      for (size_t i = 0; i + 2 < n; i += 3) out.insert(out.end(), {in[i], in[i + 1], in[i + 2]});
      break;
    case GL_QUADS:
      for (size_t i = 0; i + 3 < n; i += 4) {
        out.insert(out.end(), {in[i], in[i + 1], in[i + 2]});
        out.insert(out.end(), {in[i], in[i + 2], in[i + 3]});
      }
      break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
      for (size_t i = 1; i + 1 < n; ++i) out.insert(out.end(), {in[0], in[i], in[i + 1]});
      break;
    case GL_TRIANGLE_STRIP:
      for (size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0)
          out.insert(out.end(), {in[i], in[i + 1], in[i + 2]});
        else
          out.insert(out.end(), {in[i + 1], in[i], in[i + 2]});
      }
      break;
    case GL_QUAD_STRIP:
      for (size_t i = 0; i + 3 < n; i += 2) {
        out.insert(out.end(), {in[i], in[i + 1], in[i + 3]});
        out.insert(out.end(), {in[i], in[i + 3], in[i + 2]});
      }
      break;
    default:
      break;  // points and lines are not drawn by the engine
  }
}

void emitCorner() {
  if (inPrimitive) corners.push_back(current);
}

// Largest power of two not above n. GLU, and so the desktop program, takes
// the nearest one instead (res/mip_chain.h: 800 -> 1024 there, 512 here), so
// the browser's pictures of such sides keep less detail than the desktop's.
GLsizei powerOfTwoBelow(GLsizei n) {
  GLsizei p = 1;
  while (p * 2 <= n) p *= 2;
  return p;
}

// Area-weighted resampling of RGBA bytes to w x h.
std::vector<unsigned char> resample(const unsigned char* src, GLsizei sw, GLsizei sh, GLsizei w, GLsizei h) {
  std::vector<unsigned char> out(static_cast<size_t>(w) * h * 4);
  const double fx = static_cast<double>(sw) / w;
  const double fy = static_cast<double>(sh) / h;
  for (GLsizei y = 0; y < h; ++y) {
    const double y0 = y * fy, y1 = y0 + fy;
    for (GLsizei x = 0; x < w; ++x) {
      const double x0 = x * fx, x1 = x0 + fx;
      double sum[4] = {0, 0, 0, 0};
      double area = 0.0;
      for (int sy = static_cast<int>(y0); sy < sh && sy < y1; ++sy) {
        const double wy = std::fmin(y1, sy + 1.0) - std::fmax(y0, static_cast<double>(sy));
        for (int sx = static_cast<int>(x0); sx < sw && sx < x1; ++sx) {
          const double wx = std::fmin(x1, sx + 1.0) - std::fmax(x0, static_cast<double>(sx));
          const unsigned char* p = src + (static_cast<size_t>(sy) * sw + sx) * 4;
          for (int c = 0; c < 4; ++c) sum[c] += wx * wy * p[c];
          area += wx * wy;
        }
      }
      unsigned char* q = out.data() + (static_cast<size_t>(y) * w + x) * 4;
      for (int c = 0; c < 4; ++c) q[c] = static_cast<unsigned char>(std::lround(sum[c] / area));
    }
  }
  return out;
}

void uploadMipmapped(const unsigned char* rgba, GLsizei w, GLsizei h) {
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glGenerateMipmap(GL_TEXTURE_2D);
}

}  // namespace

extern "C" {

void vw_glEnable(GLenum cap) {
  if (bool* flag = trackedFlag(cap)) *flag = true;
  if (forwarded(cap)) glEnable(cap);
}

void vw_glDisable(GLenum cap) {
  if (bool* flag = trackedFlag(cap)) *flag = false;
  if (forwarded(cap)) glDisable(cap);
}

GLboolean vw_glIsEnabled(GLenum cap) {
  if (bool* flag = trackedFlag(cap)) return *flag ? GL_TRUE : GL_FALSE;
  return glIsEnabled(cap);
}

void vw_glPushAttrib(GLbitfield mask) { attribStack.push_back({mask, state}); }

void vw_glPopAttrib(void) {
  if (attribStack.empty()) return;
  const Saved saved = attribStack.back();
  attribStack.pop_back();
  const State& s = saved.state;
  const GLbitfield m = saved.mask;
  if (m & GL_COLOR_BUFFER_BIT) vw_glBlendFunc(s.blendSrc, s.blendDst);
  if (m & (GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT)) {
    state.blend = s.blend;
    setEnable(GL_BLEND, s.blend);
  }
  if (m & (GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT)) {
    state.depthTest = s.depthTest;
    setEnable(GL_DEPTH_TEST, s.depthTest);
  }
  if (m & GL_DEPTH_BUFFER_BIT) vw_glDepthMask(s.depthMask);
  if (m & (GL_ENABLE_BIT | GL_POLYGON_BIT)) {
    state.cullFace = s.cullFace;
    setEnable(GL_CULL_FACE, s.cullFace);
  }
  if (m & (GL_ENABLE_BIT | GL_LIGHTING_BIT)) {
    state.lighting = s.lighting;
    state.colourMaterial = s.colourMaterial;
  }
  if (m & (GL_ENABLE_BIT | GL_TEXTURE_BIT)) {
    for (int u = 0; u < kUnits; ++u) {
      selectUnit(u);
      Unit& now = state.units[u];
      const Unit& then = s.units[u];
      now.texture2d = then.texture2d;
      now.genS = then.genS;
      now.genT = then.genT;
      setEnable(GL_TEXTURE_2D, then.texture2d);
      if (m & GL_TEXTURE_BIT) {
        now.genMode = then.genMode;
        now.env = then.env;
        now.bound = then.bound;
        glBindTexture(GL_TEXTURE_2D, then.bound);
        if (u == 0)
          realEnv = -1;
        else
          glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, then.env == GL_BLEND ? GL_MODULATE : then.env);
      }
    }
    if (m & GL_TEXTURE_BIT) state.active = s.active;
    selectUnit(state.active);
  }
  if (m & GL_CURRENT_BIT) vw_glColor4f(s.colour[0], s.colour[1], s.colour[2], s.colour[3]);
  if (m & GL_VIEWPORT_BIT) vw_glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
}

void vw_glBegin(GLenum mode) {
  primitive = mode;
  inPrimitive = true;
  primitiveHasColour = false;
  corners.clear();
}

void vw_glEnd(void) {
  inPrimitive = false;
  static std::vector<Vertex> tris;
  tris.clear();
  triangulate(primitive, corners, tris);
  if (recordingList) {
    std::vector<ListStep>& steps = lists[recordingList];
    if (steps.empty() || steps.back().isMatrix) steps.emplace_back();
    steps.back().triangles.insert(steps.back().triangles.end(), tris.begin(), tris.end());
    return;
  }
  drawTriangles(tris, primitiveHasColour);
}

void vw_glVertex2f(GLfloat x, GLfloat y) { vw_glVertex3f(x, y, 0.0f); }

void vw_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  current.position[0] = x;
  current.position[1] = y;
  current.position[2] = z;
  emitCorner();
}

void vw_glVertex3fv(const GLfloat* v) { vw_glVertex3f(v[0], v[1], v[2]); }

void vw_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  current.normal[0] = x;
  current.normal[1] = y;
  current.normal[2] = z;
}

void vw_glNormal3fv(const GLfloat* v) { vw_glNormal3f(v[0], v[1], v[2]); }

void vw_glTexCoord2f(GLfloat s, GLfloat t) {
  current.texCoord[0] = s;
  current.texCoord[1] = t;
}

static void vw_multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) {
  // Only unit 0 carries coordinates in the engine's drawing.
  if (unit == GL_TEXTURE0) vw_glTexCoord2f(s, t);
}

static void vw_activeTexture(GLenum unit) {
  const int index = static_cast<int>(unit - GL_TEXTURE0);
  if (index < 0 || index >= kUnits) return;
  state.active = index;
  selectUnit(index);
}

void vw_glColor3f(GLfloat r, GLfloat g, GLfloat b) { vw_glColor4f(r, g, b, 1.0f); }

void vw_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const GLfloat c[4] = {r, g, b, a};
  std::memcpy(current.colour, c, sizeof c);
  std::memcpy(state.colour, c, sizeof c);
  if (inPrimitive) {
    primitiveHasColour = true;
    return;
  }
  glColor4f(r, g, b, a);
}

void vw_glTexEnvi(GLenum target, GLenum name, GLint value) {
  if (target == GL_TEXTURE_ENV && name == GL_TEXTURE_ENV_MODE) {
    state.units[state.active].env = value;
    if (state.active == 0) return;  // unit 0 is set at each draw
    if (value == GL_BLEND) value = GL_MODULATE;
  }
  glTexEnvi(target, name, value);
}

void vw_glTexGeni(GLenum coord, GLenum name, GLint value) {
  // Both coordinates take the same mode in the engine.
  if (name == GL_TEXTURE_GEN_MODE && (coord == GL_S || coord == GL_T)) state.units[state.active].genMode = value;
}

void vw_glTexParameteri(GLenum target, GLenum name, GLint value) {
  if (value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
  glTexParameteri(target, name, value);
  // The twin samples the way its original does.
  const TextureInfo* info = boundInfo(state.active);
  if (info && info->inverted) {
    glBindTexture(GL_TEXTURE_2D, info->inverted);
    glTexParameteri(target, name, value);
    glBindTexture(GL_TEXTURE_2D, state.units[state.active].bound);
  }
}

void vw_glBindTexture(GLenum target, GLuint texture) {
  state.units[state.active].bound = texture;
  glBindTexture(target, texture);
}

void vw_glDeleteTextures(GLsizei n, const GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) {
    auto it = textures.find(names[i]);
    if (it == textures.end()) continue;
    if (it->second.inverted) glDeleteTextures(1, &it->second.inverted);
    textures.erase(it);
  }
  glDeleteTextures(n, names);
}

void vw_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                     GLenum format, GLenum type, const void* pixels) {
  // WebGL takes the internal format equal to the format.
  (void)internalFormat;
  if (level == 0) {
    TextureInfo& info = textures[state.units[state.active].bound];
    info.format = format;
    info.width = width;
    info.height = height;
  }
  glTexImage2D(target, level, static_cast<GLint>(format), width, height, border, format, type, pixels);
}

void vw_glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y,
                            GLsizei width, GLsizei height) {
  // The frame has no alpha, so a copy into an RGBA texture is refused: such a
  // target becomes RGB once (black levels, as it was created empty).
  TextureInfo* info = boundInfo(state.active);
  if (info && info->format == GL_RGBA && level == 0) {
    std::vector<unsigned char> black(static_cast<size_t>(info->width) * info->height * 3);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, info->width, info->height, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    info->format = GL_RGB;
  }
  glCopyTexSubImage2D(target, level, xoffset, yoffset, x, y, width, height);
}

GLint vw_gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                           GLenum type, const void* data) {
  (void)internalFormat;
  if (target != GL_TEXTURE_2D || format != GL_RGBA || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0)
    return GLU_INVALID_ENUM;
  // Sides that are not powers of two shrink to the next lower power (GLU
  // would take the nearest).
  const GLsizei w = powerOfTwoBelow(width);
  const GLsizei h = powerOfTwoBelow(height);
  const auto* src = static_cast<const unsigned char*>(data);
  std::vector<unsigned char> scaled;
  if (w != width || h != height) {
    scaled = resample(src, width, height, w, h);
    src = scaled.data();
  }
  const GLuint name = state.units[state.active].bound;
  TextureInfo& info = textures[name];
  info.format = GL_RGBA;
  info.width = w;
  info.height = h;
  uploadMipmapped(src, w, h);

  std::vector<unsigned char> inverted(src, src + static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < inverted.size(); i += 4)
    for (int c = 0; c < 3; ++c) inverted[i + c] = static_cast<unsigned char>(255 - inverted[i + c]);
  if (!info.inverted) glGenTextures(1, &info.inverted);
  glBindTexture(GL_TEXTURE_2D, info.inverted);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  uploadMipmapped(inverted.data(), w, h);
  glBindTexture(GL_TEXTURE_2D, name);
  return 0;
}

GLuint vw_glGenLists(GLsizei range) {
  const GLuint first = nextList;
  nextList += static_cast<GLuint>(range);
  return first;
}

void vw_glNewList(GLuint list, GLenum /*mode*/) {
  recordingList = list;
  lists[list].clear();
}

void vw_glEndList(void) { recordingList = 0; }

void vw_glCallList(GLuint list) {
  auto it = lists.find(list);
  if (it == lists.end()) return;
  for (ListStep& step : it->second) {
    if (step.isMatrix)
      glMultMatrixf(step.matrix);
    else
      drawTriangles(step.triangles, false);
  }
}

void vw_glMultMatrixf(const GLfloat* m) {
  if (recordingList) {
    ListStep step;
    step.isMatrix = true;
    std::memcpy(step.matrix, m, sizeof step.matrix);
    lists[recordingList].push_back(std::move(step));
    return;
  }
  glMultMatrixf(m);
}

// Lighting is never on in the engine, so material state has no visible effect.
void vw_glMaterialfv(GLenum, GLenum, const GLfloat*) {}
void vw_glMaterialf(GLenum, GLenum, GLfloat) {}
void vw_glColorMaterial(GLenum, GLenum) {}
// Colours are constant across each primitive the engine draws, so flat and
// smooth shading give the same pixels.
void vw_glShadeModel(GLenum) {}

void vw_glBlendFunc(GLenum src, GLenum dst) {
  state.blendSrc = src;
  state.blendDst = dst;
  glBlendFunc(src, dst);
}

void vw_glDepthMask(GLboolean flag) {
  state.depthMask = flag;
  glDepthMask(flag);
}

void vw_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  state.viewport[0] = x;
  state.viewport[1] = y;
  state.viewport[2] = width;
  state.viewport[3] = height;
  glViewport(x, y, width, height);
}

void vw_glArrayElement(GLint i) {
  auto at = [i](const ClientArray& a) {
    const GLsizei stride = a.stride ? a.stride : static_cast<GLsizei>(a.size * sizeof(GLfloat));
    return reinterpret_cast<const GLfloat*>(reinterpret_cast<const char*>(a.pointer) + static_cast<size_t>(i) * stride);
  };
  if (normalArray.enabled) vw_glNormal3fv(at(normalArray));
  if (texCoordArray.enabled) {
    const GLfloat* t = at(texCoordArray);
    vw_glTexCoord2f(t[0], t[1]);
  }
  if (vertexArray.enabled) vw_glVertex3fv(at(vertexArray));
}

static ClientArray* clientArray(GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY: return &vertexArray;
    case GL_NORMAL_ARRAY: return &normalArray;
    case GL_TEXTURE_COORD_ARRAY: return &texCoordArray;
    default: return nullptr;
  }
}

void vw_glEnableClientState(GLenum array) {
  if (ClientArray* a = clientArray(array)) a->enabled = true;
}

void vw_glDisableClientState(GLenum array) {
  if (ClientArray* a = clientArray(array)) a->enabled = false;
}

void vw_glVertexPointer(GLint size, GLenum, GLsizei stride, const void* pointer) {
  vertexArray.size = size;
  vertexArray.stride = stride;
  vertexArray.pointer = static_cast<const GLfloat*>(pointer);
}

void vw_glNormalPointer(GLenum, GLsizei stride, const void* pointer) {
  normalArray.size = 3;
  normalArray.stride = stride;
  normalArray.pointer = static_cast<const GLfloat*>(pointer);
}

void vw_glTexCoordPointer(GLint size, GLenum, GLsizei stride, const void* pointer) {
  texCoordArray.size = size;
  texCoordArray.stride = stride;
  texCoordArray.pointer = static_cast<const GLfloat*>(pointer);
}

void* vw_SDL_GL_GetProcAddress(const char* name) {
  if (std::strcmp(name, "glMultiTexCoord2fARB") == 0) return reinterpret_cast<void*>(&vw_multiTexCoord2f);
  if (std::strcmp(name, "glActiveTextureARB") == 0) return reinterpret_cast<void*>(&vw_activeTexture);
  return SDL_GL_GetProcAddress(name);
}

// Each presented frame hands control back to the browser, which shows it.
void vw_SDL_GL_SwapBuffers(void) {
  SDL_GL_SwapBuffers();
  emscripten_sleep(0);
}

int vw_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
  const int result = SDL_OpenAudio(desired, obtained);
  if (result == 0) audioStatus = SDL_AUDIO_PAUSED;
  return result;
}

void vw_SDL_PauseAudio(int pause) {
  SDL_PauseAudio(pause);
  if (audioStatus != SDL_AUDIO_STOPPED) audioStatus = pause ? SDL_AUDIO_PAUSED : SDL_AUDIO_PLAYING;
}

void vw_SDL_CloseAudio(void) {
  SDL_CloseAudio();
  audioStatus = SDL_AUDIO_STOPPED;
}

SDL_AudioStatus vw_SDL_GetAudioStatus(void) { return audioStatus; }

}  // extern "C"
