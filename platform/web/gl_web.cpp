// The browser build's GL layer (see gl_web.h). It keeps the state it must
// restore or act on (enables, bindings, texture environment, coordinate
// generation, blend, depth mask, colour, viewport, the matrix stacks) in one
// struct, because the emulation underneath does not report all of it back
// and costs a shader look-up, a buffer upload and a draw for every call that
// draws. Immediate-mode primitives and display lists are therefore turned
// into triangles in eye space here and collected into one batch, drawn with
// a single call when state that the batch depends on changes. The eye space
// is also where sphere-map coordinates are computed; the GL_BLEND texture
// environment is drawn as MODULATE with an inverted twin of the picture, and
// GL_CLAMP on captured frames with a copy framed by the black border texels.
// Without a GPU the browser's renderer spends a frame with the glow or the
// feedback layers mostly on blending and copies, so runs of additive passes
// are added up in one pass of a program of the layer's own
// (vw_begin_added_passes), a frame copied again into the same texture goes
// to its framed copy only until the texture itself is used, and a frame
// copied from a cleared window is drawn into its texture instead
// (vw_begin_captured_drawing).
#define VORN_GL_WEB_IMPLEMENTATION
#include "platform/web/gl_web.h"

#include <emscripten.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/web/magnification.h"

extern "C" {
void glActiveTexture(GLenum texture);
void glClientActiveTexture(GLenum texture);
void glGenerateMipmap(GLenum target);
GLuint glCreateShader(GLenum type);
void glShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths);
void glCompileShader(GLuint shader);
void glGetShaderiv(GLuint shader, GLenum name, GLint* value);
void glGetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, GLchar* log);
GLuint glCreateProgram(void);
void glAttachShader(GLuint program, GLuint shader);
void glLinkProgram(GLuint program);
void glGetProgramiv(GLuint program, GLenum name, GLint* value);
void glUseProgram(GLuint program);
GLint glGetUniformLocation(GLuint program, const GLchar* name);
void glUniform1i(GLint location, GLint value);
void glUniform1fv(GLint location, GLsizei count, const GLfloat* values);
void glGenFramebuffers(GLsizei n, GLuint* framebuffers);
void glBindFramebuffer(GLenum target, GLuint framebuffer);
void glFramebufferTexture2D(GLenum target, GLenum attachment, GLenum textarget, GLuint texture, GLint level);
GLenum glCheckFramebufferStatus(GLenum target);
void glGenRenderbuffers(GLsizei n, GLuint* renderbuffers);
void glBindRenderbuffer(GLenum target, GLuint renderbuffer);
void glRenderbufferStorage(GLenum target, GLenum internalFormat, GLsizei width, GLsizei height);
void glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer);
}

namespace {

constexpr int kUnits = 2;
// The most passes vw_begin_added_passes adds up in one; WebGL offers at least
// as many texture units to a fragment shader.
constexpr int kAddedTextures = 8;
// The emulation uploads a draw's vertices into one of its temporary buffers,
// the largest of which holds this many bytes (emscripten's default
// GL_MAX_TEMP_BUFFER_SIZE).
constexpr size_t kTempBufferBytes = 2097152;
constexpr double kDegrees = 3.14159265358979323846 / 180.0;

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

// A corner as the engine gives it, in object space.
struct Vertex {
  GLfloat position[3];
  GLfloat normal[3];
  GLfloat texCoord[2];
  GLfloat colour[4];
};

// A corner as the emulation draws it: in eye space, its colour resolved.
struct BatchVertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLfloat colour[4];
};

constexpr size_t kBatchVertices = kTempBufferBytes / (3 * sizeof(BatchVertex)) * 3;

using Matrix = std::array<GLfloat, 16>;  // column-major, as GL takes it

constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

enum MatrixStack { Modelview, Projection, TextureMatrix, kMatrixStacks };

// One step of a recorded list: a matrix product, or triangles to draw.
struct ListStep {
  bool isMatrix = false;
  Matrix matrix = {};
  std::vector<Vertex> triangles;
};

// What is known of each texture name: its format, the parameters it was
// given (GL_CLAMP as given, though WebGL is told GL_CLAMP_TO_EDGE), the
// inverted twin that stands in for it under the GL_BLEND environment, and,
// for a texture that frames are copied into, a copy with a frame of one
// black texel all round (0 when there is none of either).
struct TextureInfo {
  GLenum format = GL_RGBA;
  GLsizei width = 0;
  GLsizei height = 0;
  GLuint inverted = 0;
  GLuint framed = 0;
  // A frame copied again into the same storage goes to the framed copy only,
  // which is what the glow and the pyramid sample; the texture itself takes
  // it from there when something samples or changes it (refreshPlain).
  bool plainStale = false;
  std::unordered_map<GLenum, GLint> parameters;
};

enum LazyCopies { LazyUntried, LazyWorks, LazyRefused };

// The client arrays the engine points at (read back by glArrayElement).
struct ClientArray {
  bool enabled = false;
  GLint size = 0;
  GLsizei stride = 0;
  const GLfloat* pointer = nullptr;
};

// The program that adds a given number of textures (makeAddingProgram).
struct AddingProgram {
  GLuint name = 0;      // made on first use; 0 until then
  bool failed = false;  // then each texture is drawn as a pass of its own
  GLint stepsLocation = -1;
};

// An additive pass kept by vw_begin_added_passes: what collect() was given,
// with the texture on unit 0 and the modelview it was drawn under.
struct AddedPass {
  GLuint texture = 0;
  GLfloat alpha = 1.0f;  // each fragment's, whatever the corners' colour
  Matrix modelview = kIdentity;
  std::vector<Vertex> triangles;  // in object space, each corner in its own colour
};

// The passes kept between vw_begin_added_passes and vw_end_added_passes. Only
// a change of state that the passes are drawn under draws them (pass by
// pass); the textures they sample may change between them.
struct AddedPasses {
  bool collecting = false;
  std::vector<AddedPass> passes;
  AddingProgram programs[kAddedTextures + 1];  // by the number of passes added
};

// A frame drawn between vw_begin_captured_drawing and vw_end_captured_drawing
// straight into the texture it will be copied into, through a framebuffer of
// the layer's own with a depth buffer of its size.
struct CapturedDrawing {
  GLuint texture = 0;      // the texture the engine copies the frame into; 0: none
  GLuint framebuffer = 0;  // made on first use
  std::vector<std::pair<std::array<GLsizei, 2>, GLuint>> depths;  // depth renderbuffers by size
  // Since the window's last clear of colour and depth nothing was drawn into
  // it, nor were the clear values changed: a captured frame then starts as
  // the same clear, without reading the window.
  bool windowCleared = false;
  GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
  bool refused = false;  // the browser cannot draw into such a framebuffer
};

// The whole layer: one per program, alive for the whole run.
struct Layer {
  State state;
  std::vector<Saved> attribStack;
  std::unordered_map<GLuint, TextureInfo> textures;

  // Immediate mode being collected.
  GLenum primitive = 0;
  bool inPrimitive = false;
  std::vector<Vertex> corners;
  std::vector<Vertex> triangles;  // scratch of glEnd
  Vertex current = {{0, 0, 0}, {0, 0, 1}, {0, 0}, {1, 1, 1, 1}};

  std::unordered_map<GLuint, std::vector<ListStep>> lists;
  GLuint nextList = 1;
  GLuint recordingList = 0;

  ClientArray vertexArray, normalArray, texCoordArray;

  // The matrix stacks (back() is the current matrix). The emulation keeps an
  // identity modelview; it is given the projection only when a batch is drawn.
  std::vector<Matrix> matrices[kMatrixStacks] = {{kIdentity}, {kIdentity}, {kIdentity}};
  MatrixStack matrixMode = Modelview;
  bool projectionGiven = false;

  std::vector<BatchVertex> batch;  // triangles in eye space, drawn by flush()
  bool batchFramed = false;        // the batch samples unit 0's framed copy

  AddedPasses added;
  GLuint copyFramebuffer = 0;  // reads framed copies back (refreshPlain)
  LazyCopies lazyCopies = LazyUntried;
  CapturedDrawing captured;

  GLint realEnv = -1;  // the environment last given to unit 0 of the emulation
  bool pacedToAnimationFrames = false;
  SDL_AudioStatus audioStatus = SDL_AUDIO_STOPPED;
};

Layer layer;

// The window's (0) or, while a drawing is captured, the layer's own.
GLuint drawFramebuffer() { return layer.captured.texture ? layer.captured.framebuffer : 0; }

// Whether a clear reaches the whole window: red, green and blue written (it
// has no alpha to mask).
bool colourMaskCoversWindow() {
  const GLboolean* m = layer.captured.colourMask;
  return m[0] && m[1] && m[2];
}

void setEnable(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

bool* trackedFlag(GLenum cap) {
  State& s = layer.state;
  switch (cap) {
    case GL_BLEND: return &s.blend;
    case GL_DEPTH_TEST: return &s.depthTest;
    case GL_CULL_FACE: return &s.cullFace;
    case GL_LIGHTING: return &s.lighting;
    case GL_COLOR_MATERIAL: return &s.colourMaterial;
    case GL_TEXTURE_2D: return &s.units[s.active].texture2d;
    case GL_TEXTURE_GEN_S: return &s.units[s.active].genS;
    case GL_TEXTURE_GEN_T: return &s.units[s.active].genT;
    default: return nullptr;
  }
}

// Only these reach the emulation; the rest is carried out here or has no
// effect with lighting off.
bool forwarded(GLenum cap) {
  return cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_CULL_FACE || cap == GL_TEXTURE_2D;
}

void selectUnit(int unit) { glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit)); }

TextureInfo* boundInfo(int unit) {
  auto it = layer.textures.find(layer.state.units[unit].bound);
  return it == layer.textures.end() ? nullptr : &it->second;
}

GLint parameter(const TextureInfo& info, GLenum name, GLint otherwise) {
  auto it = info.parameters.find(name);
  return it == info.parameters.end() ? otherwise : it->second;
}

GLint webValue(GLint value) { return value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value; }

// The framed copy of the texture bound to unit 0 when it is what GL_CLAMP
// samples for coordinates in 0 .. 1: the border colour (black) takes part in
// a linear filter at the edges (a nearest one never reaches it). Only
// single-level textures, which is what frames are copied into, have one.
const TextureInfo* framedCopyOf(GLuint texture) {
  auto it = layer.textures.find(texture);
  const TextureInfo* info = it == layer.textures.end() ? nullptr : &it->second;
  if (!info || !info->framed) return nullptr;
  const bool linear = parameter(*info, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR) == GL_LINEAR &&
                      parameter(*info, GL_TEXTURE_MAG_FILTER, GL_LINEAR) == GL_LINEAR;
  const bool clamped = parameter(*info, GL_TEXTURE_WRAP_S, GL_REPEAT) == GL_CLAMP &&
                       parameter(*info, GL_TEXTURE_WRAP_T, GL_REPEAT) == GL_CLAMP;
  return linear && clamped ? info : nullptr;
}

const TextureInfo* framedInfo() {
  return layer.state.units[0].texture2d ? framedCopyOf(layer.state.units[0].bound) : nullptr;
}

// How coordinates in 0 .. 1 move into a framed copy: scale, then offset, per axis.
void frameOf(const TextureInfo& framed, GLfloat* frame) {
  const GLfloat w = static_cast<GLfloat>(framed.width), h = static_cast<GLfloat>(framed.height);
  const GLfloat f[4] = {w / (w + 2.0f), h / (h + 2.0f), 1.0f / (w + 2.0f), 1.0f / (h + 2.0f)};
  std::memcpy(frame, f, sizeof f);
}

void eyePosition(const Matrix& m, const GLfloat* p, GLfloat* out) {
  for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}

// An eye-space point's clip coordinates under the current projection, in double.
void clipPosition(const GLfloat* eye, double* clip) {
  const Matrix& p = layer.matrices[Projection].back();
  for (int r = 0; r < 4; ++r)
    clip[r] = static_cast<double>(p[r]) * eye[0] + static_cast<double>(p[4 + r]) * eye[1] +
              static_cast<double>(p[8 + r]) * eye[2] + p[12 + r];
}

Matrix& currentMatrix() { return layer.matrices[layer.matrixMode].back(); }

// m = m * by
void multiply(Matrix& m, const GLfloat* by) {
  Matrix r;
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row)
      r[4 * c + row] =
          m[row] * by[4 * c] + m[4 + row] * by[4 * c + 1] + m[8 + row] * by[4 * c + 2] + m[12 + row] * by[4 * c + 3];
  m = r;
}

// The emulation keeps an identity modelview and is given the projection
// only when something is drawn.
void giveProjection() {
  if (layer.projectionGiven) return;
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(layer.matrices[Projection].back().data());
  glMatrixMode(GL_MODELVIEW);
  layer.projectionGiven = true;
}

// Brings a texture whose frame went to its framed copy only up to date. It
// goes through the active unit, which is left bound as the state says.
void refreshPlain(GLuint name) {
  auto it = layer.textures.find(name);
  if (it == layer.textures.end() || !it->second.plainStale) return;
  TextureInfo& info = it->second;
  glBindFramebuffer(GL_FRAMEBUFFER, layer.copyFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, info.framed, 0);
  glBindTexture(GL_TEXTURE_2D, name);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, info.width, info.height);
  glBindTexture(GL_TEXTURE_2D, layer.state.units[layer.state.active].bound);
  glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer());
  info.plainStale = false;
}

// Window position, in pixels from the viewport's centre, of a point whose
// x / w and y / w are `ndc`.
void windowPosition(const std::array<double, 2>& ndc, double* out) {
  out[0] = ndc[0] * layer.state.viewport[2] / 2.0;
  out[1] = ndc[1] * layer.state.viewport[3] / 2.0;
}

// Whether every triangle of the batch lies in a plane facing the eye (one
// w at its corners: its coordinates are affine on screen) and magnifies a
// texture of width x height all over.
bool batchMagnifies(const std::vector<BatchVertex>& batch, GLsizei width, GLsizei height) {
  for (size_t first = 0; first + 3 <= batch.size(); first += 3) {
    double window[3][2];
    float st[3][2];
    double w0 = 0.0;
    for (int i = 0; i < 3; ++i) {
      const BatchVertex& v = batch[first + i];
      double clip[4];
      clipPosition(v.position, clip);
      if (i == 0) w0 = clip[3];
      if (clip[3] != w0 || !(clip[3] > 0.0)) return false;
      windowPosition({clip[0] / clip[3], clip[1] / clip[3]}, window[i]);
      st[i][0] = v.texCoord[0];
      st[i][1] = v.texCoord[1];
    }
    if (!vorn::magnifiesAllOver(window, st, width, height)) return false;
  }
  return true;
}

// The mipmapped minifying filter of a texture that GL reads only through
// level 0 in the draw to come, so that it can be drawn without it: the
// software renderer reads two levels for each mipmapped sample, magnified
// or not. 0 where the texture has no mipmapped filter or may be minified.
template <typename Magnified>
GLint mipmapFilterToDrop(GLuint texture, Magnified magnified) {
  auto it = layer.textures.find(texture);
  if (it == layer.textures.end()) return 0;
  const GLint minFilter = parameter(it->second, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_LINEAR);
  if (minFilter == GL_LINEAR || minFilter == GL_NEAREST) return 0;
  return magnified(it->second.width, it->second.height) ? minFilter : 0;
}

void addPassByPass();

// Draws the batch with the tracked state, which is the state every triangle
// in it was collected under.
void flushBatch() {
  std::vector<BatchVertex>& batch = layer.batch;
  if (batch.empty()) return;
  giveProjection();
  const State& s = layer.state;
  const Unit& u0 = s.units[0];
  GLuint twin = 0;
  GLint env = u0.env;
  const TextureInfo* framed = layer.batchFramed ? framedInfo() : nullptr;
  if (framed) twin = framed->framed;
  if (u0.texture2d && u0.env == GL_BLEND) {
    // With the default black environment colour GL_BLEND gives
    // fragment * (1 - texel) in colour and fragment * texel in alpha.
    const TextureInfo* info = boundInfo(0);
    if (info && info->inverted) twin = info->inverted;
    env = GL_MODULATE;
  }
  if (u0.texture2d && !twin) refreshPlain(u0.bound);
  if (s.units[1].texture2d) refreshPlain(s.units[1].bound);
  if (s.active != 0) selectUnit(0);
  if (env != layer.realEnv) {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env);
    layer.realEnv = env;
  }
  if (twin) glBindTexture(GL_TEXTURE_2D, twin);
  // Level 0 alone where that is all GL reads (mipmapFilterToDrop); a twin
  // is sampled as its original is, whose parameters it follows.
  const GLint mipmapFilter =
      u0.texture2d ? mipmapFilterToDrop(
                         u0.bound, [&](GLsizei width, GLsizei height) { return batchMagnifies(batch, width, height); })
                   : 0;
  if (mipmapFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

  const GLsizei stride = sizeof(BatchVertex);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, batch[0].position);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, stride, batch[0].texCoord);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_FLOAT, stride, batch[0].colour);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch.size()));
  batch.clear();
  if (!drawFramebuffer()) layer.captured.windowCleared = false;

  if (mipmapFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapFilter);
  if (twin) glBindTexture(GL_TEXTURE_2D, u0.bound);
  if (s.active != 0) selectUnit(s.active);
}

// Draws everything collected or kept so far: each call below that changes
// what a draw does flushes first.
void flush() {
  flushBatch();
  if (!layer.added.passes.empty()) addPassByPass();
}

// The modelview of the triangles about to be collected, whether unit 0
// computes sphere-map coordinates under it, and how its coordinates move
// into a framed copy (scale, then offset, per axis).
struct EyeTransform {
  Matrix m;
  bool sphereMap = false;
  GLfloat frame[4] = {1.0f, 1.0f, 0.0f, 0.0f};
  GLfloat normal[3][3] = {};  // the inverse transpose of m's upper 3 x 3, as rows of the inverse
  bool normalValid = false;
};

EyeTransform eyeTransform() {
  EyeTransform t;
  t.m = layer.matrices[Modelview].back();
  const Unit& u0 = layer.state.units[0];
  t.sphereMap = u0.texture2d && u0.genS && u0.genT && u0.genMode == GL_SPHERE_MAP;
  if (!t.sphereMap) return t;
  const Matrix& m = t.m;
  const GLfloat a = m[0], b = m[4], c = m[8], d = m[1], f = m[5], g = m[9], h = m[2], i = m[6], k = m[10];
  const GLfloat det = a * (f * k - g * i) - b * (d * k - g * h) + c * (d * i - f * h);
  if (det == 0.0f) return t;
  const GLfloat inv[3][3] = {{(f * k - g * i) / det, (c * i - b * k) / det, (b * g - c * f) / det},
                             {(g * h - d * k) / det, (a * k - c * h) / det, (c * d - a * g) / det},
                             {(d * i - f * h) / det, (b * h - a * i) / det, (a * f - b * d) / det}};
  std::memcpy(t.normal, inv, sizeof inv);
  t.normalValid = true;
  return t;
}

// The sphere-map coordinates of a corner at eye position e with object normal nv.
void sphereMap(const EyeTransform& t, const GLfloat* e, const GLfloat* nv, GLfloat* st) {
  const GLfloat len = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
  GLfloat u[3] = {0.0f, 0.0f, 0.0f};
  if (len > 0.0f)
    for (int r = 0; r < 3; ++r) u[r] = e[r] / len;
  // Normals go through the inverse transpose: n' = n * inverse.
  GLfloat n[3] = {nv[0], nv[1], nv[2]};
  if (t.normalValid)
    for (int col = 0; col < 3; ++col)
      n[col] = nv[0] * t.normal[0][col] + nv[1] * t.normal[1][col] + nv[2] * t.normal[2][col];
  const GLfloat dot = n[0] * u[0] + n[1] * u[1] + n[2] * u[2];
  const GLfloat rx = u[0] - 2.0f * n[0] * dot;
  const GLfloat ry = u[1] - 2.0f * n[1] * dot;
  const GLfloat rz = u[2] - 2.0f * n[2] * dot + 1.0f;
  const GLfloat mm = 2.0f * std::sqrt(rx * rx + ry * ry + rz * rz);
  st[0] = mm > 0.0f ? rx / mm + 0.5f : 0.5f;
  st[1] = mm > 0.0f ? ry / mm + 0.5f : 0.5f;
}

// True when every corner's coordinates lie in 0 .. 1, where GL_CLAMP does not
// move them; beyond, it clamps them before filtering, which a framed copy
// cannot do, and the texture's edge texels (GL_CLAMP_TO_EDGE) come closer.
bool insideTexture(const std::vector<Vertex>& tris) {
  for (const Vertex& v : tris)
    if (!(v.texCoord[0] >= 0.0f && v.texCoord[0] <= 1.0f && v.texCoord[1] >= 0.0f && v.texCoord[1] <= 1.0f))
      return false;
  return true;
}

// Whether triangles drawn now are a pass that vw_end_added_passes can add
// up with others: an additive blend of unit 0's texture alone, an RGB one,
// with nothing that makes the order of passes matter, whose fragments are
// the texel and one alpha (given on return): MODULATE in white and that
// alpha, or REPLACE, which takes the alpha of the texel, 1.
bool addable(const std::vector<Vertex>& tris, const GLfloat* colour, GLfloat& alpha) {
  const State& s = layer.state;
  const Unit& u0 = s.units[0];
  if (!s.blend || s.blendSrc != GL_SRC_ALPHA || s.blendDst != GL_ONE || s.depthTest || s.cullFace) return false;
  if (!u0.texture2d || u0.genS || u0.genT || s.units[1].texture2d) return false;
  const TextureInfo* info = boundInfo(0);
  if (!info || info->format != GL_RGB) return false;
  if (u0.env == GL_REPLACE) {
    alpha = 1.0f;
    return true;
  }
  if (u0.env != GL_MODULATE) return false;
  alpha = colour ? colour[3] : tris[0].colour[3];
  for (const Vertex& v : tris) {
    const GLfloat* c = colour ? colour : v.colour;
    if (c[0] != 1.0f || c[1] != 1.0f || c[2] != 1.0f || c[3] != alpha) return false;
  }
  return true;
}

// Adds triangles to the batch, or keeps them as an added pass; colour, when
// given, replaces each corner's own.
void collect(const std::vector<Vertex>& tris, const GLfloat* colour) {
  if (tris.empty()) return;
  AddedPasses& added = layer.added;
  if (added.collecting) {
    GLfloat alpha = 1.0f;
    if (addable(tris, colour, alpha)) {
      flushBatch();  // what came before the pass is drawn before it
      AddedPass pass;
      pass.alpha = alpha;
      pass.texture = layer.state.units[0].bound;
      pass.modelview = layer.matrices[Modelview].back();
      pass.triangles = tris;
      if (colour)
        for (Vertex& v : pass.triangles) std::memcpy(v.colour, colour, sizeof v.colour);
      added.passes.push_back(std::move(pass));
      return;
    }
    if (!added.passes.empty()) addPassByPass();
  }
  EyeTransform t = eyeTransform();
  const TextureInfo* framed = framedInfo();
  const bool useFrame = framed && !t.sphereMap && insideTexture(tris);
  if (useFrame != layer.batchFramed) flushBatch();
  layer.batchFramed = useFrame;
  if (useFrame) frameOf(*framed, t.frame);
  const Matrix& m = t.m;
  for (size_t first = 0; first < tris.size(); first += 3) {
    if (layer.batch.size() + 3 > kBatchVertices) flushBatch();
    for (size_t i = first; i < first + 3 && i < tris.size(); ++i) {
      const Vertex& v = tris[i];
      BatchVertex out;
      eyePosition(m, v.position, out.position);
      if (t.sphereMap)
        sphereMap(t, out.position, v.normal, out.texCoord);
      else
        std::memcpy(out.texCoord, v.texCoord, sizeof out.texCoord);
      for (int a = 0; a < 2; ++a) out.texCoord[a] = out.texCoord[a] * t.frame[a] + t.frame[2 + a];
      std::memcpy(out.colour, colour ? colour : v.colour, sizeof out.colour);
      layer.batch.push_back(out);
    }
  }
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
    default: break;  // points and lines are not drawn by the engine
  }
}

void multiplyCurrent(const Matrix& by) {
  if (layer.matrixMode == Projection) {
    flush();
    layer.projectionGiven = false;
  }
  multiply(currentMatrix(), by.data());
}

// The twin of an RGBA level: the same level with colours inverted, its
// texture made on the first level and given the original's parameters.
void uploadTwinLevel(TextureInfo& info, GLuint original, GLint level, GLsizei width, GLsizei height,
                     const unsigned char* rgba) {
  if (!info.inverted) {
    glGenTextures(1, &info.inverted);
    glBindTexture(GL_TEXTURE_2D, info.inverted);
    for (const auto& p : info.parameters) glTexParameteri(GL_TEXTURE_2D, p.first, webValue(p.second));
  } else {
    glBindTexture(GL_TEXTURE_2D, info.inverted);
  }
  std::vector<unsigned char> inverted(rgba, rgba + static_cast<size_t>(width) * height * 4);
  for (size_t i = 0; i < inverted.size(); i += 4)
    for (int c = 0; c < 3; ++c) inverted[i + c] = static_cast<unsigned char>(255 - inverted[i + c]);
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, inverted.data());
  glBindTexture(GL_TEXTURE_2D, original);
}

// The desktop's 8-bit conversion of an alpha (see roundFragmentsToStoredColours).
GLfloat alphaSteps(GLfloat alpha) {
  const GLfloat clamped = alpha < 0.0f ? 0.0f : alpha > 1.0f ? 1.0f : alpha;
  return std::nearbyint(clamped * 0.99609375f * 256.0f);  // the default rounding: ties to even
}

// The program that adds `count` textures (1 .. kAddedTextures; one program
// for each count, which the software renderer runs faster than one that
// tests the count per texture). Each texture's term is
// what one additive pass of it stores on the desktop: the texel rounded to
// 8 bits, times the alpha's 8-bit steps, rounded to a step (n * m / 255 is
// never a tie). A frame holds whole steps, so adding the terms to it one pass
// at a time stores the same as adding their sum once; the sum leaves with
// alpha 1, which the additive blend takes as it is.
AddingProgram makeAddingProgram(int count) {
  AddingProgram made;
  made.failed = true;
  std::string vertex = "void main() {\n  gl_Position = gl_ProjectionMatrix * (gl_ModelViewMatrix * gl_Vertex);\n";
  std::string fragment = "precision highp float;\nuniform float u_steps[" + std::to_string(count) + "];\n";
  fragment +=
      "vec3 added(sampler2D texture, vec2 at, float alphaSteps) {\n"
      "  vec3 colourSteps = floor(texture2D(texture, at).rgb * 255.0 + 0.5);\n"
      "  return floor(colourSteps * alphaSteps / 255.0 + 0.5);\n"
      "}\n";
  std::string sum = "void main() {\n  vec3 sum = vec3(0.0);\n";
  // Two textures' coordinates to each vec4 attribute: WebGL promises only 8 attributes.
  for (int pair = 0; pair < kAddedTextures / 2; ++pair) {
    const std::string n = std::to_string(pair);
    vertex = "varying vec4 v_pair" + n + ";\n" + vertex + "  v_pair" + n + " = gl_MultiTexCoord" + n + ";\n";
    fragment += "varying vec4 v_pair" + n + ";\n";
  }
  vertex += "}\n";
  for (int k = 0; k < count; ++k) {
    const std::string n = std::to_string(k);
    fragment += "uniform sampler2D u_texture" + n + ";\n";
    sum += "  sum += added(u_texture" + n + ", v_pair" + std::to_string(k / 2) + (k % 2 ? ".zw" : ".xy") +
           ", u_steps[" + n + "]);\n";
  }
  fragment += sum + "  gl_FragColor = vec4(sum / 255.0, 1.0);\n}\n";

  GLint units = 0;
  glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
  if (units < count) return made;
  const GLuint program = glCreateProgram();
  for (const auto& part : {std::make_pair(GL_VERTEX_SHADER, &vertex), std::make_pair(GL_FRAGMENT_SHADER, &fragment)}) {
    const GLuint shader = glCreateShader(part.first);
    const GLchar* text = part.second->c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
      GLchar log[1024] = "";
      glGetShaderInfoLog(shader, sizeof log, nullptr, log);
      std::fprintf(stderr,
                   "vorndemo: the shader that adds passes in one did not compile (%s); drawing them one by one\n", log);
      return made;
    }
    glAttachShader(program, shader);
  }
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    std::fprintf(stderr, "vorndemo: the shader that adds passes in one did not link; drawing them one by one\n");
    return made;
  }
  glUseProgram(program);
  for (int k = 0; k < count; ++k)
    glUniform1i(glGetUniformLocation(program, ("u_texture" + std::to_string(k)).c_str()), k);
  made.stepsLocation = glGetUniformLocation(program, "u_steps");
  glUseProgram(0);
  made.name = program;
  made.failed = false;
  return made;
}

// Binds a texture to unit 0, in the state and in the emulation; the active
// unit stays the one the state names, which flush() relies on.
void bindUnit0(GLuint texture) {
  layer.state.units[0].bound = texture;
  if (layer.state.active != 0) selectUnit(0);
  glBindTexture(GL_TEXTURE_2D, texture);
  if (layer.state.active != 0) selectUnit(layer.state.active);
}

// Draws the kept passes as they came, each with its own texture and
// modelview, under the state they were kept under.
void addPassByPass() {
  AddedPasses& a = layer.added;
  std::vector<AddedPass> passes;
  passes.swap(a.passes);
  const bool collecting = a.collecting;
  a.collecting = false;
  const GLuint bound = layer.state.units[0].bound;
  Matrix& modelview = layer.matrices[Modelview].back();
  const Matrix current = modelview;
  for (const AddedPass& pass : passes) {
    bindUnit0(pass.texture);
    modelview = pass.modelview;
    collect(pass.triangles, nullptr);
    flushBatch();
  }
  modelview = current;
  bindUnit0(bound);
  a.collecting = collecting;
}

// A pass's corners in eye space and their homogeneous window-facing
// coordinates (x / w, y / w in -1 .. 1 across the viewport), in double.
struct PassCorners {
  std::vector<std::array<GLfloat, 3>> eye;
  std::vector<std::array<double, 2>> ndc;
  bool flat = true;  // one w at every corner: coordinates are affine on screen
};

PassCorners passCorners(const AddedPass& pass) {
  PassCorners c;
  double firstW = 0.0;
  for (size_t i = 0; i < pass.triangles.size(); ++i) {
    std::array<GLfloat, 3> e;
    eyePosition(pass.modelview, pass.triangles[i].position, e.data());
    double clip[4];
    clipPosition(e.data(), clip);
    if (i == 0) firstW = clip[3];
    // In front of the eye and between the near and far planes everywhere.
    if (clip[3] != firstW || !(clip[3] > 0.0) || clip[2] < -clip[3] || clip[2] > clip[3]) c.flat = false;
    c.eye.push_back(e);
    c.ndc.push_back({clip[0] / clip[3], clip[1] / clip[3]});
  }
  return c;
}

// Whether a pass is one convex quadrilateral (two triangles a b c, a c d, as
// the engine's quads and fans come) that holds the whole viewport.
bool coversViewport(const PassCorners& c) {
  if (!c.flat || c.ndc.size() != 6) return false;
  const auto& q = c.ndc;
  if (q[3] != q[0] || q[4] != q[2]) return false;
  const std::array<double, 2> quad[4] = {q[0], q[1], q[2], q[5]};
  const double corners[4][2] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}};
  double sign = 0.0;
  for (int i = 0; i < 4; ++i) {
    const auto& a = quad[i];
    const auto& b = quad[(i + 1) % 4];
    const double turn = (b[0] - a[0]) * (quad[(i + 2) % 4][1] - b[1]) - (b[1] - a[1]) * (quad[(i + 2) % 4][0] - b[0]);
    if (turn == 0.0 || (sign != 0.0 && (turn > 0.0) != (sign > 0.0))) return false;
    sign = turn;
    for (const auto& corner : corners) {
      const double side = (b[0] - a[0]) * (corner[1] - a[1]) - (b[1] - a[1]) * (corner[0] - a[0]);
      if (side == 0.0 || (side > 0.0) != (sign > 0.0)) return false;
    }
  }
  return true;
}

// The texture coordinates pass `from` has at each corner of pass `onto`,
// both covering the viewport: on screen they are an affine function of
// position, fitted through three of `from`'s corners.
bool coordinatesAt(const AddedPass& from, const PassCorners& fromCorners, const PassCorners& onto,
                   std::vector<std::array<GLfloat, 2>>& out) {
  const auto& a = fromCorners.ndc[0];
  const auto& b = fromCorners.ndc[1];
  const auto& c = fromCorners.ndc[2];
  const double det = (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
  if (det == 0.0) return false;
  out.clear();
  for (const auto& p : onto.ndc) {
    // Barycentric weights of p in a b c, which carry the coordinates.
    const double wb = ((p[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (p[1] - a[1])) / det;
    const double wc = ((b[0] - a[0]) * (p[1] - a[1]) - (p[0] - a[0]) * (b[1] - a[1])) / det;
    const double wa = 1.0 - wb - wc;
    std::array<GLfloat, 2> st;
    for (int k = 0; k < 2; ++k)
      st[k] = static_cast<GLfloat>(wa * from.triangles[0].texCoord[k] + wb * from.triangles[1].texCoord[k] +
                                   wc * from.triangles[2].texCoord[k]);
    out.push_back(st);
  }
  return true;
}

// Draws the kept passes once, on the first pass's triangles, with every
// pass's texture: through its framed copy where a pass of its own would
// sample that. A pass on other triangles is added where both pass and the
// first cover the viewport in a plane facing the eye (the feedback layers).
// False, having drawn nothing, where the passes cannot be added up.
bool addInOnePass() {
  AddedPasses& a = layer.added;
  const int count = static_cast<int>(a.passes.size());
  if (count > kAddedTextures) return false;
  AddingProgram& program = a.programs[count];
  if (!program.name && !program.failed) program = makeAddingProgram(count);
  if (!program.name) return false;

  struct AddedVertex {
    GLfloat position[3];
    GLfloat texCoords[kAddedTextures][2];
  };
  const AddedPass& first = a.passes[0];
  const PassCorners firstCorners = passCorners(first);
  std::vector<AddedVertex> vertices(first.triangles.size(), AddedVertex{});
  for (size_t i = 0; i < vertices.size(); ++i)
    std::memcpy(vertices[i].position, firstCorners.eye[i].data(), sizeof vertices[i].position);
  GLuint sampled[kAddedTextures] = {};
  GLfloat steps[kAddedTextures] = {};
  std::vector<std::array<GLfloat, 2>> moved;
  const bool firstCovers = coversViewport(firstCorners);
  for (int k = 0; k < count; ++k) {
    const AddedPass& pass = a.passes[k];
    steps[k] = alphaSteps(pass.alpha);
    const PassCorners corners = k == 0 ? firstCorners : passCorners(pass);
    const bool same = corners.eye == firstCorners.eye;
    const TextureInfo* framed = framedCopyOf(pass.texture);
    if (same) {
      const bool useFrame = framed && insideTexture(pass.triangles);
      GLfloat frame[4] = {1.0f, 1.0f, 0.0f, 0.0f};
      if (useFrame) frameOf(*framed, frame);
      sampled[k] = useFrame ? framed->framed : pass.texture;
      for (size_t i = 0; i < vertices.size(); ++i)
        for (int c = 0; c < 2; ++c)
          vertices[i].texCoords[k][c] = pass.triangles[i].texCoord[c] * frame[c] + frame[2 + c];
      continue;
    }
    // GL_CLAMP's border takes part only through a framed copy, whose
    // coordinates this does not follow.
    if (framed || !firstCovers || !coversViewport(corners) || !coordinatesAt(pass, corners, firstCorners, moved))
      return false;
    sampled[k] = pass.texture;
    for (size_t i = 0; i < vertices.size(); ++i)
      for (int c = 0; c < 2; ++c) vertices[i].texCoords[k][c] = moved[i][c];
  }
  for (int k = 0; k < count; ++k)
    if (sampled[k] == a.passes[k].texture) refreshPlain(a.passes[k].texture);
  // Each pass's texture through level 0 alone where it is magnified all
  // over, as the feedback layers' target is (mipmapFilterToDrop).
  GLint mipmapFilter[kAddedTextures] = {};
  if (firstCorners.flat) {
    double window[3][2];
    for (int i = 0; i < 3; ++i) windowPosition(firstCorners.ndc[i], window[i]);
    for (int k = 0; k < count; ++k) {
      float st[3][2];
      for (int i = 0; i < 3; ++i) std::memcpy(st[i], vertices[i].texCoords[k], sizeof st[i]);
      mipmapFilter[k] = mipmapFilterToDrop(
          sampled[k], [&](GLsizei width, GLsizei height) { return vorn::magnifiesAllOver(window, st, width, height); });
    }
  }

  giveProjection();
  glUseProgram(program.name);
  glUniform1fv(program.stepsLocation, count, steps);
  for (int k = 0; k < count; ++k) {
    selectUnit(k);
    glBindTexture(GL_TEXTURE_2D, sampled[k]);
    if (mipmapFilter[k]) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  }
  const GLsizei stride = sizeof(AddedVertex);
  glDisableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, stride, vertices[0].position);
  for (int pair = 0; pair < kAddedTextures / 2; ++pair) {
    glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(pair));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(4, GL_FLOAT, stride, vertices[0].texCoords[2 * pair]);
  }
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
  if (!drawFramebuffer()) layer.captured.windowCleared = false;

  // Back to what the emulation's own draws (flush) expect.
  for (int pair = kAddedTextures / 2 - 1; pair > 0; --pair) {
    glClientActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(pair));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  glClientActiveTexture(GL_TEXTURE0);
  glUseProgram(0);
  for (int k = 0; k < count; ++k) {
    selectUnit(k);
    if (mipmapFilter[k]) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapFilter[k]);
    glBindTexture(GL_TEXTURE_2D, k < kUnits ? layer.state.units[k].bound : 0);
  }
  selectUnit(layer.state.active);
  a.passes.clear();
  return true;
}

// Binds the captured drawing's framebuffer: `colour`, an RGB texture of
// width x height, and a depth buffer of that size. False, with the window's
// framebuffer bound again, when the browser cannot draw into it.
bool bindCapture(GLuint colour, GLsizei width, GLsizei height) {
  CapturedDrawing& c = layer.captured;
  if (!c.framebuffer) glGenFramebuffers(1, &c.framebuffer);
  const std::array<GLsizei, 2> size = {width, height};
  GLuint depth = 0;
  for (const auto& kept : c.depths)
    if (kept.first == size) depth = kept.second;
  if (!depth) {
    // Packed depth and stencil, as the window's depth is.
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_STENCIL, width, height);
    c.depths.emplace_back(size, depth);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, c.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    c.refused = true;
    std::fprintf(stderr, "vorndemo: frames cannot be drawn into textures here; they are copied\n");
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

void vw_begin_added_passes(void) {
  flush();
  layer.added.collecting = true;
}

void vw_end_added_passes(void) {
  AddedPasses& a = layer.added;
  if (!a.collecting) return;
  flushBatch();
  a.collecting = false;
  if (!a.passes.empty() && !addInOnePass()) addPassByPass();
}

void vw_begin_captured_drawing(GLuint texture) {
  flush();
  CapturedDrawing& c = layer.captured;
  auto it = layer.textures.find(texture);
  if (c.texture || c.refused || !c.windowCleared || it == layer.textures.end() || it->second.format != GL_RGB ||
      it->second.width <= 0 || it->second.height <= 0)
    return;
  const TextureInfo& info = it->second;
  if (!bindCapture(texture, info.width, info.height)) return;
  c.texture = texture;
  // The drawing starts as the window's last clear left it.
  const bool masked = !colourMaskCoversWindow();
  if (masked) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (!layer.state.depthMask) glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (masked) glColorMask(c.colourMask[0], c.colourMask[1], c.colourMask[2], c.colourMask[3]);
  if (!layer.state.depthMask) glDepthMask(GL_FALSE);
}

void vw_end_captured_drawing(void) {
  CapturedDrawing& c = layer.captured;
  if (!c.texture) return;
  flush();
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  c.texture = 0;
}

void vw_glEnable(GLenum cap) {
  bool* flag = trackedFlag(cap);
  if (flag && *flag) return;
  // Coordinate generation and lighting are read as triangles are collected.
  if (forwarded(cap)) flush();
  if (flag) *flag = true;
  if (forwarded(cap)) glEnable(cap);
}

void vw_glDisable(GLenum cap) {
  bool* flag = trackedFlag(cap);
  if (flag && !*flag) return;
  if (forwarded(cap)) flush();
  if (flag) *flag = false;
  if (forwarded(cap)) glDisable(cap);
}

GLboolean vw_glIsEnabled(GLenum cap) {
  if (bool* flag = trackedFlag(cap)) return *flag ? GL_TRUE : GL_FALSE;
  return glIsEnabled(cap);
}

void vw_glPushAttrib(GLbitfield mask) { layer.attribStack.push_back({mask, layer.state}); }

void vw_glPopAttrib(void) {
  if (layer.attribStack.empty()) return;
  flush();
  const Saved saved = layer.attribStack.back();
  layer.attribStack.pop_back();
  State& state = layer.state;
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
          layer.realEnv = -1;
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
  layer.primitive = mode;
  layer.inPrimitive = true;
  layer.corners.clear();
}

void vw_glEnd(void) {
  layer.inPrimitive = false;
  std::vector<Vertex>& tris = layer.triangles;
  tris.clear();
  triangulate(layer.primitive, layer.corners, tris);
  if (layer.recordingList) {
    std::vector<ListStep>& steps = layer.lists[layer.recordingList];
    if (steps.empty() || steps.back().isMatrix) steps.emplace_back();
    steps.back().triangles.insert(steps.back().triangles.end(), tris.begin(), tris.end());
    return;
  }
  collect(tris, nullptr);
}

void vw_glVertex2f(GLfloat x, GLfloat y) { vw_glVertex3f(x, y, 0.0f); }

void vw_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  Vertex& c = layer.current;
  c.position[0] = x;
  c.position[1] = y;
  c.position[2] = z;
  if (layer.inPrimitive) layer.corners.push_back(c);
}

void vw_glVertex3fv(const GLfloat* v) { vw_glVertex3f(v[0], v[1], v[2]); }

void vw_glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  GLfloat* n = layer.current.normal;
  n[0] = x;
  n[1] = y;
  n[2] = z;
}

void vw_glNormal3fv(const GLfloat* v) { vw_glNormal3f(v[0], v[1], v[2]); }

void vw_glTexCoord2f(GLfloat s, GLfloat t) {
  layer.current.texCoord[0] = s;
  layer.current.texCoord[1] = t;
}

static void vw_multiTexCoord2f(GLenum unit, GLfloat s, GLfloat t) {
  // Only unit 0 carries coordinates in the engine's drawing.
  if (unit == GL_TEXTURE0) vw_glTexCoord2f(s, t);
}

static void vw_activeTexture(GLenum unit) {
  const int index = static_cast<int>(unit - GL_TEXTURE0);
  if (index < 0 || index >= kUnits || index == layer.state.active) return;
  flush();
  layer.state.active = index;
  selectUnit(index);
}

void vw_glColor3f(GLfloat r, GLfloat g, GLfloat b) { vw_glColor4f(r, g, b, 1.0f); }

// Every corner carries its colour, so the colour never needs a flush.
void vw_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  const GLfloat c[4] = {r, g, b, a};
  std::memcpy(layer.current.colour, c, sizeof c);
  std::memcpy(layer.state.colour, c, sizeof c);
}

void vw_glTexEnvi(GLenum target, GLenum name, GLint value) {
  State& s = layer.state;
  if (target == GL_TEXTURE_ENV && name == GL_TEXTURE_ENV_MODE) {
    if (s.units[s.active].env == value) return;
    flush();
    s.units[s.active].env = value;
    if (s.active == 0) return;  // unit 0 is set at each draw
    if (value == GL_BLEND) value = GL_MODULATE;
  } else {
    flush();
  }
  glTexEnvi(target, name, value);
}

void vw_glTexGeni(GLenum coord, GLenum name, GLint value) {
  // Both coordinates take the same mode in the engine; it is read as
  // triangles are collected.
  if (name == GL_TEXTURE_GEN_MODE && (coord == GL_S || coord == GL_T))
    layer.state.units[layer.state.active].genMode = value;
}

void vw_glTexParameteri(GLenum target, GLenum name, GLint given) {
  TextureInfo* info = boundInfo(layer.state.active);
  if (info) {
    auto it = info->parameters.find(name);
    if (it != info->parameters.end() && it->second == given) return;
    info->parameters[name] = given;
  }
  flush();
  const GLint value = webValue(given);
  glTexParameteri(target, name, value);
  // The twin samples the way its original does, and so does the framed copy
  // but for its wrapping, which stays at its frame.
  const bool filter = name == GL_TEXTURE_MIN_FILTER || name == GL_TEXTURE_MAG_FILTER;
  for (GLuint copy : {info ? info->inverted : 0, info && filter ? info->framed : 0}) {
    if (!copy) continue;
    glBindTexture(GL_TEXTURE_2D, copy);
    glTexParameteri(target, name, value);
    glBindTexture(GL_TEXTURE_2D, layer.state.units[layer.state.active].bound);
  }
}

void vw_glBindTexture(GLenum target, GLuint texture) {
  Unit& unit = layer.state.units[layer.state.active];
  if (unit.bound == texture) return;
  flushBatch();  // added passes keep the texture each was drawn with
  unit.bound = texture;
  layer.textures.emplace(texture, TextureInfo{});
  glBindTexture(target, texture);
}

void vw_glDeleteTextures(GLsizei n, const GLuint* names) {
  flush();
  for (GLsizei i = 0; i < n; ++i) {
    for (Unit& unit : layer.state.units)
      if (unit.bound == names[i]) unit.bound = 0;
    auto it = layer.textures.find(names[i]);
    if (it == layer.textures.end()) continue;
    if (it->second.inverted) glDeleteTextures(1, &it->second.inverted);
    if (it->second.framed) glDeleteTextures(1, &it->second.framed);
    layer.textures.erase(it);
  }
  glDeleteTextures(n, names);
}

void vw_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                     GLenum format, GLenum type, const void* pixels) {
  // WebGL takes the internal format equal to the format.
  (void)internalFormat;
  flush();
  const GLuint name = layer.state.units[layer.state.active].bound;
  TextureInfo& info = layer.textures[name];
  if (level == 0) {
    info.format = format;
    info.width = width;
    info.height = height;
    if (info.framed) glDeleteTextures(1, &info.framed);
    info.framed = 0;
    info.plainStale = false;
  }
  glTexImage2D(target, level, static_cast<GLint>(format), width, height, border, format, type, pixels);
  if (format == GL_RGBA && type == GL_UNSIGNED_BYTE && pixels)
    uploadTwinLevel(info, name, level, width, height, static_cast<const unsigned char*>(pixels));
}

void vw_glTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* pixels) {
  flush();
  refreshPlain(layer.state.units[layer.state.active].bound);
  glTexSubImage2D(target, level, xoffset, yoffset, width, height, format, type, pixels);
}

// Whether framed copies can be read back as a framebuffer (refreshPlain),
// tried once on the first framed copy made.
static bool lazyCopiesWork(const TextureInfo& info) {
  if (layer.lazyCopies == LazyUntried) {
    glGenFramebuffers(1, &layer.copyFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, layer.copyFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, info.framed, 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer());
    layer.lazyCopies = complete ? LazyWorks : LazyRefused;
  }
  return layer.lazyCopies == LazyWorks;
}

// Keeps the framed copy's inside equal to the texture's level 0 after a copy
// of the frame into it at (xoffset, yoffset); makes the copy, black, first.
void copyIntoFramed(TextureInfo& info, GLuint original, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width,
                    GLsizei height) {
  if (!info.framed) {
    glGenTextures(1, &info.framed);
    glBindTexture(GL_TEXTURE_2D, info.framed);
    const std::vector<unsigned char> black(static_cast<size_t>(info.width + 2) * (info.height + 2) * 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, info.width + 2, info.height + 2, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, parameter(info, GL_TEXTURE_MIN_FILTER, GL_LINEAR));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, parameter(info, GL_TEXTURE_MAG_FILTER, GL_LINEAR));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  } else {
    glBindTexture(GL_TEXTURE_2D, info.framed);
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, xoffset + 1, yoffset + 1, x, y, width, height);
  glBindTexture(GL_TEXTURE_2D, original);
}

// Whether a copy of the frame is the captured drawing into the texture it was
// drawn into: only the texture's framed copy, if any, is left to bring up to
// date, from the texture.
static bool capturedAlready(GLuint name, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width,
                            GLsizei height) {
  const CapturedDrawing& c = layer.captured;
  if (!c.texture || name != c.texture || level != 0 || xoffset || yoffset || x || y) return false;
  const TextureInfo& info = layer.textures[name];
  return width == info.width && height == info.height;
}

void vw_glCopyTexImage2D(GLenum target, GLint level, GLenum internalFormat, GLint x, GLint y, GLsizei width,
                         GLsizei height, GLint border) {
  flush();
  const GLuint name = layer.state.units[layer.state.active].bound;
  const bool rgb = internalFormat == GL_RGB || internalFormat == 3;
  TextureInfo& info = layer.textures[name];
  if (rgb && border == 0 && capturedAlready(name, level, 0, 0, x, y, width, height)) {
    copyIntoFramed(info, name, 0, 0, 0, 0, width, height);  // made here on the first copy
    info.plainStale = false;
    return;
  }
  const bool sameStorage = level == 0 && border == 0 && rgb && info.format == GL_RGB && info.width == width &&
                           info.height == height && info.framed;
  if (sameStorage && lazyCopiesWork(info)) {
    copyIntoFramed(info, name, 0, 0, x, y, width, height);
    info.plainStale = true;
    return;
  }
  glCopyTexImage2D(target, level, internalFormat, x, y, width, height, border);
  if (level != 0) return;
  info.plainStale = false;
  if (info.framed && (info.width != width || info.height != height)) {
    glDeleteTextures(1, &info.framed);
    info.framed = 0;
  }
  info.format = GL_RGB;
  info.width = width;
  info.height = height;
  copyIntoFramed(info, name, 0, 0, x, y, width, height);
}

void vw_glCopyTexSubImage2D(GLenum target, GLint level, GLint xoffset, GLint yoffset, GLint x, GLint y, GLsizei width,
                            GLsizei height) {
  flush();
  const GLuint name = layer.state.units[layer.state.active].bound;
  if (capturedAlready(name, level, xoffset, yoffset, x, y, width, height)) {
    TextureInfo& captured = layer.textures[name];
    if (captured.framed) copyIntoFramed(captured, name, 0, 0, 0, 0, width, height);
    captured.plainStale = false;
    return;
  }
  refreshPlain(layer.state.units[layer.state.active].bound);
  // The frame has no alpha, so a copy into an RGBA texture is refused: such a
  // target becomes RGB once (black levels, as it was created empty).
  TextureInfo* info = boundInfo(layer.state.active);
  if (info && info->format == GL_RGBA && level == 0) {
    std::vector<unsigned char> black(static_cast<size_t>(info->width) * info->height * 3);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, info->width, info->height, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    info->format = GL_RGB;
  }
  glCopyTexSubImage2D(target, level, xoffset, yoffset, x, y, width, height);
  if (info && info->framed && level == 0)
    copyIntoFramed(*info, layer.state.units[layer.state.active].bound, xoffset, yoffset, x, y, width, height);
}

GLint vw_gluBuild2DMipmaps(GLenum, GLint, GLsizei width, GLsizei height, GLenum, GLenum, const void*) {
  // The engine uploads its levels itself (res/mip_chain) and leaves GLU only
  // pictures larger than the GL's largest texture, which WebGL cannot hold.
  std::fprintf(stderr, "vorndemo: a %d x %d picture is beyond this browser's largest texture\n", width, height);
  return GLU_INVALID_VALUE;
}

GLuint vw_glGenLists(GLsizei range) {
  const GLuint first = layer.nextList;
  layer.nextList += static_cast<GLuint>(range);
  return first;
}

void vw_glNewList(GLuint list, GLenum /*mode*/) {
  layer.recordingList = list;
  layer.lists[list].clear();
}

void vw_glEndList(void) { layer.recordingList = 0; }

// The list's corners are drawn in the current colour: the engine records no
// colour into its lists.
void vw_glCallList(GLuint list) {
  auto it = layer.lists.find(list);
  if (it == layer.lists.end()) return;
  const GLfloat* colour = layer.state.colour;
  for (const ListStep& step : it->second) {
    if (step.isMatrix)
      multiply(layer.matrices[Modelview].back(), step.matrix.data());
    else
      collect(step.triangles, colour);
  }
}

void vw_glMatrixMode(GLenum mode) {
  layer.matrixMode = mode == GL_PROJECTION ? Projection : mode == GL_TEXTURE ? TextureMatrix : Modelview;
}

void vw_glPushMatrix(void) {
  std::vector<Matrix>& stack = layer.matrices[layer.matrixMode];
  stack.push_back(stack.back());
}

void vw_glPopMatrix(void) {
  std::vector<Matrix>& stack = layer.matrices[layer.matrixMode];
  if (stack.size() < 2) return;
  if (layer.matrixMode == Projection) {
    flush();
    layer.projectionGiven = false;
  }
  stack.pop_back();
}

void vw_glLoadIdentity(void) {
  if (layer.matrixMode == Projection) {
    flush();
    layer.projectionGiven = false;
  }
  currentMatrix() = kIdentity;
}

void vw_glMultMatrixf(const GLfloat* m) {
  Matrix by;
  std::memcpy(by.data(), m, sizeof(GLfloat) * 16);
  if (layer.recordingList) {
    ListStep step;
    step.isMatrix = true;
    step.matrix = by;
    layer.lists[layer.recordingList].push_back(std::move(step));
    return;
  }
  multiplyCurrent(by);
}

void vw_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  Matrix t = kIdentity;
  t[12] = x;
  t[13] = y;
  t[14] = z;
  multiplyCurrent(t);
}

void vw_glScalef(GLfloat x, GLfloat y, GLfloat z) {
  Matrix s = kIdentity;
  s[0] = x;
  s[5] = y;
  s[10] = z;
  multiplyCurrent(s);
}

// The rotation of angle degrees about (x, y, z), as GL defines it; sine and
// cosine are taken in double and rounded once, as Mesa does.
void vw_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  const GLfloat length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0f) return;
  x /= length;
  y /= length;
  z /= length;
  const GLfloat s = static_cast<GLfloat>(std::sin(angle * kDegrees));
  const GLfloat c = static_cast<GLfloat>(std::cos(angle * kDegrees));
  const GLfloat k = 1.0f - c;
  const Matrix r = {x * x * k + c,
                    y * x * k + z * s,
                    x * z * k - y * s,
                    0.0f,
                    x * y * k - z * s,
                    y * y * k + c,
                    y * z * k + x * s,
                    0.0f,
                    x * z * k + y * s,
                    y * z * k - x * s,
                    z * z * k + c,
                    0.0f,
                    0.0f,
                    0.0f,
                    0.0f,
                    1.0f};
  multiplyCurrent(r);
}

void vw_glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal) {
  Matrix o = kIdentity;
  o[0] = static_cast<GLfloat>(2.0 / (right - left));
  o[5] = static_cast<GLfloat>(2.0 / (top - bottom));
  o[10] = static_cast<GLfloat>(-2.0 / (farVal - nearVal));
  o[12] = static_cast<GLfloat>(-(right + left) / (right - left));
  o[13] = static_cast<GLfloat>(-(top + bottom) / (top - bottom));
  o[14] = static_cast<GLfloat>(-(farVal + nearVal) / (farVal - nearVal));
  multiplyCurrent(o);
}

void vw_glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal, GLdouble farVal) {
  Matrix f = {};
  f[0] = static_cast<GLfloat>(2.0 * nearVal / (right - left));
  f[5] = static_cast<GLfloat>(2.0 * nearVal / (top - bottom));
  f[8] = static_cast<GLfloat>((right + left) / (right - left));
  f[9] = static_cast<GLfloat>((top + bottom) / (top - bottom));
  f[10] = static_cast<GLfloat>(-(farVal + nearVal) / (farVal - nearVal));
  f[11] = -1.0f;
  f[14] = static_cast<GLfloat>(-2.0 * farVal * nearVal / (farVal - nearVal));
  multiplyCurrent(f);
}

// GLU's perspective: the cotangent of half the field of view, in double.
void vw_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  const double radians = fovy / 2.0 * kDegrees;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(radians);
  if (deltaZ == 0.0 || sine == 0.0 || aspect == 0.0) return;
  const double cotangent = std::cos(radians) / sine;
  Matrix p = {};
  p[0] = static_cast<GLfloat>(cotangent / aspect);
  p[5] = static_cast<GLfloat>(cotangent);
  p[10] = static_cast<GLfloat>(-(zFar + zNear) / deltaZ);
  p[11] = -1.0f;
  p[14] = static_cast<GLfloat>(-2.0 * zNear * zFar / deltaZ);
  multiplyCurrent(p);
}

// Lighting is never on in the engine, so material state has no visible effect.
void vw_glMaterialfv(GLenum, GLenum, const GLfloat*) {}
void vw_glMaterialf(GLenum, GLenum, GLfloat) {}
void vw_glColorMaterial(GLenum, GLenum) {}
// Colours are constant across each primitive the engine draws, so flat and
// smooth shading give the same pixels.
void vw_glShadeModel(GLenum) {}

void vw_glBlendFunc(GLenum src, GLenum dst) {
  State& s = layer.state;
  if (s.blendSrc == src && s.blendDst == dst) return;
  flush();
  s.blendSrc = src;
  s.blendDst = dst;
  glBlendFunc(src, dst);
}

void vw_glDepthMask(GLboolean flag) {
  if (layer.state.depthMask == flag) return;
  flush();
  layer.state.depthMask = flag;
  glDepthMask(flag);
}

void vw_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  GLint* v = layer.state.viewport;
  if (v[0] == x && v[1] == y && v[2] == width && v[3] == height) return;
  flush();
  v[0] = x;
  v[1] = y;
  v[2] = width;
  v[3] = height;
  glViewport(x, y, width, height);
}

void vw_glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
  flush();
  GLboolean* m = layer.captured.colourMask;
  m[0] = r;
  m[1] = g;
  m[2] = b;
  m[3] = a;
  glColorMask(r, g, b, a);
}

void vw_glClear(GLbitfield mask) {
  flush();
  const GLbitfield whole = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
  if (!drawFramebuffer() && (mask & whole) == whole && colourMaskCoversWindow() && layer.state.depthMask)
    layer.captured.windowCleared = true;
  glClear(mask);
}

void vw_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  flush();
  layer.captured.windowCleared = false;
  glClearColor(r, g, b, a);
}

void vw_glClearDepth(GLclampd depth) {
  flush();
  layer.captured.windowCleared = false;
  glClearDepth(depth);
}

void vw_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels) {
  flush();
  glReadPixels(x, y, width, height, format, type, pixels);
}

void vw_glFlush(void) { flush(); }

// The browser shows the frame only once control returns to it, so waiting
// for the GL here would only stall; the batch is drawn.
void vw_glFinish(void) { flush(); }

void vw_glArrayElement(GLint i) {
  auto at = [i](const ClientArray& a) {
    const GLsizei stride = a.stride ? a.stride : static_cast<GLsizei>(a.size * sizeof(GLfloat));
    return reinterpret_cast<const GLfloat*>(reinterpret_cast<const char*>(a.pointer) + static_cast<size_t>(i) * stride);
  };
  if (layer.normalArray.enabled) vw_glNormal3fv(at(layer.normalArray));
  if (layer.texCoordArray.enabled) {
    const GLfloat* t = at(layer.texCoordArray);
    vw_glTexCoord2f(t[0], t[1]);
  }
  if (layer.vertexArray.enabled) vw_glVertex3fv(at(layer.vertexArray));
}

static ClientArray* clientArray(GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY: return &layer.vertexArray;
    case GL_NORMAL_ARRAY: return &layer.normalArray;
    case GL_TEXTURE_COORD_ARRAY: return &layer.texCoordArray;
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
  layer.vertexArray.size = size;
  layer.vertexArray.stride = stride;
  layer.vertexArray.pointer = static_cast<const GLfloat*>(pointer);
}

void vw_glNormalPointer(GLenum, GLsizei stride, const void* pointer) {
  layer.normalArray.size = 3;
  layer.normalArray.stride = stride;
  layer.normalArray.pointer = static_cast<const GLfloat*>(pointer);
}

void vw_glTexCoordPointer(GLint size, GLenum, GLsizei stride, const void* pointer) {
  layer.texCoordArray.size = size;
  layer.texCoordArray.stride = stride;
  layer.texCoordArray.pointer = static_cast<const GLfloat*>(pointer);
}

void* vw_SDL_GL_GetProcAddress(const char* name) {
  if (std::strcmp(name, "glMultiTexCoord2fARB") == 0) return reinterpret_cast<void*>(&vw_multiTexCoord2f);
  if (std::strcmp(name, "glActiveTextureARB") == 0) return reinterpret_cast<void*>(&vw_activeTexture);
  return SDL_GL_GetProcAddress(name);
}

void vw_pace_to_animation_frames(int on) { layer.pacedToAnimationFrames = on != 0; }

// A triangle of a few pixels in the corner; vw_prepare_draws clears the frame after.
static void drawCornerTriangle() {
  vw_glBegin(GL_TRIANGLES);
  vw_glVertex3f(-1.0f, -1.0f, 0.0f);
  vw_glVertex3f(-0.99f, -1.0f, 0.0f);
  vw_glVertex3f(-1.0f, -0.99f, 0.0f);
  vw_glEnd();
}

// The emulation builds a shader program the first time it draws with a new
// combination of texture environments, and WebGL's implementation prepares
// its pipeline the first time a program meets a blend, depth and texture
// format; either stalls that frame. This draws one small triangle with each
// combination the engine uses (unit 0 off, MODULATE or REPLACE on a picture
// or on a captured frame; unit 1 off or MODULATE; blending off, alpha or
// additive; depth test off or on), then the one pass of each number of added
// passes (see vw_begin_added_passes), and then clears the frame.
void vw_prepare_draws(void) {
  enum { Picture, Frame, kKinds, Target = kKinds, kNames };
  GLuint names[kNames];
  glGenTextures(kNames, names);
  const unsigned char white[2 * 2 * 4] = {255, 255, 255, 255, 255, 255, 255, 255,
                                          255, 255, 255, 255, 255, 255, 255, 255};
  vw_glPushAttrib(GL_ALL_ATTRIB_BITS);
  vw_glBindTexture(GL_TEXTURE_2D, names[Picture]);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  vw_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  vw_glTexImage2D(GL_TEXTURE_2D, 1, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  vw_glBindTexture(GL_TEXTURE_2D, names[Frame]);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  vw_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  vw_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
  vw_glBindTexture(GL_TEXTURE_2D, names[Target]);
  vw_glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, white);
  vw_glMatrixMode(GL_PROJECTION);
  vw_glPushMatrix();
  vw_glLoadIdentity();
  vw_glMatrixMode(GL_MODELVIEW);
  vw_glPushMatrix();
  vw_glLoadIdentity();

  // Every state in the window and again in a captured drawing, whose
  // framebuffer has formats of its own.
  const GLint envs[] = {0, GL_MODULATE, GL_REPLACE};  // 0: the unit is off
  const GLenum blends[][2] = {{GL_ZERO, GL_ZERO}, {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}, {GL_SRC_ALPHA, GL_ONE}};
  const auto drawEachState = [&]() {
    for (GLint env0 : envs)
      for (int kind = 0; kind < (env0 ? kKinds : 1); ++kind)
        for (GLint env1 : {0, GL_MODULATE})
          for (const auto& blend : blends)
            for (bool depth : {false, true}) {
              vw_activeTexture(GL_TEXTURE1);
              vw_glBindTexture(GL_TEXTURE_2D, names[Picture]);
              env1 ? vw_glEnable(GL_TEXTURE_2D) : vw_glDisable(GL_TEXTURE_2D);
              if (env1) vw_glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env1);
              vw_activeTexture(GL_TEXTURE0);
              vw_glBindTexture(GL_TEXTURE_2D, names[kind]);
              env0 ? vw_glEnable(GL_TEXTURE_2D) : vw_glDisable(GL_TEXTURE_2D);
              if (env0) vw_glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env0);
              blend[0] != GL_ZERO ? vw_glEnable(GL_BLEND) : vw_glDisable(GL_BLEND);
              if (blend[0] != GL_ZERO) vw_glBlendFunc(blend[0], blend[1]);
              depth ? vw_glEnable(GL_DEPTH_TEST) : vw_glDisable(GL_DEPTH_TEST);
              drawCornerTriangle();
              flush();
            }
  };
  drawEachState();
  vw_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  vw_begin_captured_drawing(names[Target]);
  drawEachState();
  vw_end_captured_drawing();
  // Added passes: additive, no depth test, captured frames on every unit.
  vw_activeTexture(GL_TEXTURE1);
  vw_glDisable(GL_TEXTURE_2D);
  vw_activeTexture(GL_TEXTURE0);
  vw_glEnable(GL_TEXTURE_2D);
  vw_glEnable(GL_BLEND);
  vw_glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  vw_glDisable(GL_DEPTH_TEST);
  vw_glBindTexture(GL_TEXTURE_2D, names[Frame]);
  vw_glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  vw_glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  for (int count = 1; count <= kAddedTextures; ++count) {
    vw_begin_added_passes();
    for (int k = 0; k < count; ++k) drawCornerTriangle();
    vw_end_added_passes();
  }

  vw_glMatrixMode(GL_PROJECTION);
  vw_glPopMatrix();
  vw_glMatrixMode(GL_MODELVIEW);
  vw_glPopMatrix();
  vw_glPopAttrib();
  vw_glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  vw_glDeleteTextures(kNames, names);
}

}  // extern "C"

// The desktop's GL (Mesa's llvmpipe) converts each fragment's colour to the
// 8 bits a pixel stores and then blends those 8-bit values, the source scaled
// by the stored alpha; WebGL's software renderer blends the shader's
// unrounded output. Unrounded, each pass that scales by alpha (the glow's
// eight levels, the additive models) came out a little darker, and the glow
// added the differences up. So every fragment shader the emulation compiles
// ends by rounding its output to 8 bits. Alpha takes the desktop's own
// conversion (scale by 255/256, round to a 1/256 step, a tie to the even
// step), which makes the glow's 0.7 and 0.3 (178.5 and 76.5 steps) 178 and
// 76. Colour ties go up: the desktop's filtered colours land a hair above a
// tie more often than on one, and rounding them to even made the stills
// worse.
// clang-format off
EM_JS(void, roundFragmentsToStoredColours, (), {
  var ctx = GLctx;
  if (ctx.vornRoundsFragments) return;  // a mode set again keeps its context
  ctx.vornRoundsFragments = true;
  var rounding = [
    'vec3 vornColour = floor(clamp(gl_FragColor.rgb, 0.0, 1.0) * 255.0 + 0.5);',
    'float vornSteps = clamp(gl_FragColor.a, 0.0, 1.0) * 0.99609375 * 256.0;',
    'float vornAlpha = floor(vornSteps + 0.5);',
    'if (fract(vornSteps) == 0.5) vornAlpha -= mod(vornAlpha, 2.0);',
    'gl_FragColor = vec4(vornColour, vornAlpha) * (1.0 / 255.0);\n'].join('\n');
  var shaderSource = ctx.shaderSource;
  ctx.shaderSource = function(shader, source) {
    var end = source.lastIndexOf('}');
    if (ctx.getShaderParameter(shader, ctx.SHADER_TYPE) == ctx.FRAGMENT_SHADER && end >= 0 &&
        source.indexOf('gl_FragColor') >= 0)
      source = source.slice(0, end) + rounding + source.slice(end);
    shaderSource.call(ctx, shader, source);
  };
});
// clang-format on

// Resolves once the browser runs its next animation frame, where the frame
// drawn after it is presented.
// The JavaScript's => would come apart under clang-format.
// clang-format off
EM_ASYNC_JS(void, waitForAnimationFrame, (), { await new Promise((resolve) => requestAnimationFrame(resolve)); });
// clang-format on

extern "C" {

SDL_Surface* vw_SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
  SDL_Surface* surface = SDL_SetVideoMode(width, height, bitsPerPixel, flags);
  if (surface && (flags & SDL_OPENGL)) roundFragmentsToStoredColours();
  return surface;
}

// Each presented frame hands control back to the browser, which shows it.
void vw_SDL_GL_SwapBuffers(void) {
  flush();
  layer.captured.windowCleared = false;  // the browser clears it to values of its own
  SDL_GL_SwapBuffers();
  if (layer.pacedToAnimationFrames)
    waitForAnimationFrame();
  else
    emscripten_sleep(0);
}

int vw_SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
  const int result = SDL_OpenAudio(desired, obtained);
  if (result == 0) layer.audioStatus = SDL_AUDIO_PAUSED;
  return result;
}

void vw_SDL_PauseAudio(int pause) {
  SDL_PauseAudio(pause);
  if (layer.audioStatus != SDL_AUDIO_STOPPED) layer.audioStatus = pause ? SDL_AUDIO_PAUSED : SDL_AUDIO_PLAYING;
}

void vw_SDL_CloseAudio(void) {
  SDL_CloseAudio();
  layer.audioStatus = SDL_AUDIO_STOPPED;
}

SDL_AudioStatus vw_SDL_GetAudioStatus(void) { return layer.audioStatus; }

}  // extern "C"
