// Model3ds: loads a 3DS file through lib3ds once model3ds_check has passed its
// bytes, plays its keyframes, and draws each object node's mesh from a display
// list compiled on first use. Texturing comes from the Material.
#include "scene/model3ds.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/gl_procs.h"
#include "platform/regular_file.h"
#include "res/load_queue.h"
#include "scene/material.h"
#include "scene/model3ds_check.h"

namespace vorn {

namespace {

constexpr const char* kDummyNodeName = "$$$DUMMY";
constexpr float kMaxShininess = 128.0f;
// lib3ds_mesh_calculate_normals keeps the distinct face normals met at one
// point in a fixed array of this many entries.
constexpr int kMaxFacesPerSmoothedPoint = 128;

using Bytes = std::vector<unsigned char>;

// A read-only stream over the checked bytes, for lib3ds's own reader.
struct MemoryStream {
  const Bytes* bytes;
  long pos;
};

Lib3dsBool streamError(void*) { return LIB3DS_FALSE; }

long streamSeek(void* self, long offset, Lib3dsIoSeek origin) {
  auto* s = static_cast<MemoryStream*>(self);
  const long size = static_cast<long>(s->bytes->size());
  long base = 0;
  if (origin == LIB3DS_SEEK_CUR) base = s->pos;
  if (origin == LIB3DS_SEEK_END) base = size;
  const long target = base + offset;
  if (target < 0) return -1;
  s->pos = target;
  return 0;
}

long streamTell(void* self) { return static_cast<MemoryStream*>(self)->pos; }

// Past the end the stream reads zeros, so lib3ds never sees uninitialised bytes.
size_t streamRead(void* self, void* buffer, size_t size) {
  auto* s = static_cast<MemoryStream*>(self);
  const size_t total = s->bytes->size();
  const size_t pos = static_cast<size_t>(s->pos);
  const size_t available = pos < total ? total - pos : 0;
  const size_t n = size < available ? size : available;
  if (n > 0) std::memcpy(buffer, s->bytes->data() + pos, n);
  if (n < size) std::memset(static_cast<char*>(buffer) + n, 0, size - n);
  s->pos += static_cast<long>(n);
  return n;
}

size_t streamWrite(void*, const void*, size_t) { return 0; }

// Reads the whole file; on failure returns false with the system's reason.
bool readWholeFile(const std::string& path, Bytes& out, std::string& why) {
  FILE* f = openAssetFile(path.c_str(), "rb");
  if (!f) {
    why = std::strerror(errno);
    return false;
  }
  unsigned char block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) out.insert(out.end(), block, block + n);
  const bool ok = !std::ferror(f);
  if (!ok) why = std::strerror(errno);
  std::fclose(f);
  return ok;
}

// The production loads some files into several models; each bad file is
// named once. The set lives for the run, like the models.
void reportOnce(const std::string& path, const std::string& what) {
  static std::set<std::string> reported;
  if (reported.insert(path).second) std::fprintf(stderr, "vorndemo: model %s %s\n", path.c_str(), what.c_str());
}

// lib3ds keeps the nesting of the chunks it reads in one static buffer, so
// files are read one at a time, whatever thread reads them.
std::mutex lib3dsReading;

// The loaded file evaluated at frame 0, or null with what is wrong (for one
// line on stderr) when it cannot be read or is refused.
struct LoadedFile {
  Lib3dsFile* file = nullptr;  // owned until taken
  std::string problem;
  LoadedFile() = default;
  LoadedFile(const LoadedFile&) = delete;
  LoadedFile& operator=(const LoadedFile&) = delete;
  ~LoadedFile() {
    if (file) lib3ds_file_free(file);
  }
};

void loadChecked(const std::string& path, LoadedFile& out) {
  Bytes bytes;
  std::string why;
  if (!readWholeFile(path, bytes, why)) {
    out.problem = "cannot be read: " + why;
    return;
  }
  if (!checkModelBytes(bytes)) {
    out.problem = "is damaged; not shown";
    return;
  }
  MemoryStream stream{&bytes, 0};
  Lib3dsIo* io = lib3ds_io_new(&stream, streamError, streamSeek, streamTell, streamRead, streamWrite);
  Lib3dsFile* file = io ? lib3ds_file_new() : nullptr;
  if (file) {
    std::lock_guard<std::mutex> lock(lib3dsReading);
    if (!lib3ds_file_read(file, io)) {
      lib3ds_file_free(file);
      file = nullptr;
    }
  }
  if (io) lib3ds_io_free(io);
  if (!file) {
    out.problem = "cannot be loaded by lib3ds; not shown";
    return;
  }
  lib3ds_file_eval(file, 0.0f);
  out.file = file;
}

bool faceInRange(const Lib3dsMesh& mesh, const Lib3dsFace& face) {
  return face.points[0] < mesh.points && face.points[1] < mesh.points && face.points[2] < mesh.points;
}

// Per-corner normals (three per face) of the given faces, following their
// smoothing groups. lib3ds's routine only reads faces, points and the face
// normals, so it runs on a view of the mesh that holds just these faces.
std::vector<float> cornerNormals(const Lib3dsMesh& mesh, std::vector<Lib3dsFace>& faces) {
  std::vector<float> normals(9 * faces.size(), 0.0f);
  if (faces.empty()) return normals;
  std::vector<int> facesAtPoint(mesh.points, 0);
  int busiest = 0;
  for (const Lib3dsFace& f : faces) {
    for (int k = 0; k < 3; ++k) {
      const int n = ++facesAtPoint[f.points[k]];
      if (n > busiest) busiest = n;
    }
  }
  if (busiest <= kMaxFacesPerSmoothedPoint) {
    Lib3dsMesh view = mesh;
    view.faces = static_cast<Lib3dsDword>(faces.size());
    view.faceL = faces.data();
    lib3ds_mesh_calculate_normals(&view, reinterpret_cast<Lib3dsVector*>(normals.data()));
    return normals;
  }
  // Beyond lib3ds's limit each corner takes its face's own normal.
  for (size_t i = 0; i < faces.size(); ++i) {
    for (int k = 0; k < 3; ++k) std::memcpy(&normals[9 * i + 3 * k], faces[i].normal, sizeof(Lib3dsVector));
  }
  return normals;
}

void recordFaceMaterial(Lib3dsFile* file, const Lib3dsFace& face) {
  Lib3dsMaterial* m = face.material[0] ? lib3ds_file_material_by_name(file, face.material) : nullptr;
  if (!m) {
    static const GLfloat kAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    static const GLfloat kDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    static const GLfloat kSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, kAmbient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, kDiffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kSpecular);
    return;
  }
  static const GLfloat kNoAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT, GL_AMBIENT, kNoAmbient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, m->diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, m->specular);
  // The file's shininess is 0 .. 1; GL takes an exponent of at most 128.
  // The negated test also caps infinities and NaN from a damaged file.
  float shininess = static_cast<float>(std::pow(2.0, 10.0 * static_cast<double>(m->shininess)));
  if (!(shininess <= kMaxShininess)) shininess = kMaxShininess;
  glMaterialf(GL_FRONT, GL_SHININESS, shininess);
}

// Records the mesh into the open display list: the inverse mesh matrix (mesh
// points are stored in world space), then per face its material and one
// triangle. Faces naming a point outside the mesh are skipped.
void recordMesh(Lib3dsFile* file, Lib3dsMesh* mesh) {
  std::vector<Lib3dsFace> faces;
  faces.reserve(mesh->faces);
  for (Lib3dsDword i = 0; i < mesh->faces; ++i) {
    if (faceInRange(*mesh, mesh->faceL[i])) faces.push_back(mesh->faceL[i]);
  }

  Lib3dsMatrix inverse;
  lib3ds_matrix_copy(inverse, mesh->matrix);
  lib3ds_matrix_inv(inverse);
  glMultMatrixf(&inverse[0][0]);
  const std::vector<float> normals = cornerNormals(*mesh, faces);

  for (size_t i = 0; i < faces.size(); ++i) {
    const Lib3dsFace& face = faces[i];
    recordFaceMaterial(file, face);
    glBegin(GL_TRIANGLES);
    for (int k = 0; k < 3; ++k) {
      const Lib3dsWord point = face.points[k];
      glNormal3fv(&normals[9 * i + 3 * k]);
      if (point < mesh->texels) {
        // 3DS texture v grows upward; pictures are loaded top row first.
        gl::multiTexCoord2fARB(GL_TEXTURE0_ARB, mesh->texelL[point][0], -mesh->texelL[point][1]);
      }
      glVertex3fv(mesh->pointL[point].pos);
    }
    glEnd();
  }
}

// Children first, each with its own complete matrix from lib3ds's evaluation.
void drawNode(Lib3dsFile* file, Lib3dsNode* node) {
  for (Lib3dsNode* child = node->childs; child; child = child->next) drawNode(file, child);
  if (node->type != LIB3DS_OBJECT_NODE) return;
  if (std::strcmp(node->name, kDummyNodeName) == 0) return;

  if (node->user.d == 0) {
    Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(file, node->name);
    if (!mesh) return;
    // Without a list name nothing is compiled (glNewList(0) would execute the
    // mesh at once instead); the next frame tries again.
    const GLuint list = glGenLists(1);
    if (list == 0) return;
    node->user.d = list;
    glNewList(list, GL_COMPILE);
    recordMesh(file, mesh);
    glEndList();
  }

  glPushMatrix();
  glMultMatrixf(&node->matrix[0][0]);
  const float* pivot = node->data.object.pivot;
  glTranslatef(-pivot[0], -pivot[1], -pivot[2]);
  glCallList(node->user.d);
  glPopMatrix();
}

}  // namespace

float modelFrameAt(float t, float animStart, float animLength, int frames) {
  const float framesF = static_cast<float>(frames);
  float frame = (t - animStart) / animLength * framesF;
  // NaN (t at animStart with a length of 0) takes frame 0 with the negatives.
  if (!(frame >= 0.0f)) frame = 0.0f;
  if (frame > framesF) frame = framesF;
  return frame;
}

Model3ds::Model3ds(const std::string& path, float animStart, float animLength)
    : animStart(animStart), animLength(animLength) {
  auto loaded = std::make_shared<LoadedFile>();
  auto take = [this, loaded, path] {
    if (!loaded->problem.empty()) reportOnce(path, loaded->problem);
    file = loaded->file;
    loaded->file = nullptr;
  };
  if (LoadQueue* queue = LoadQueue::active()) {
    queue->add([loaded, path] { loadChecked(path, *loaded); }, take);
    return;
  }
  loadChecked(path, *loaded);
  take();
}

// Display lists are left to the GL context; they go with it.
Model3ds::~Model3ds() {
  if (file) lib3ds_file_free(file);
}

void Model3ds::update(float t) {
  if (material) material->evaluateColour(t);
  if (file) {
    frame = modelFrameAt(t, animStart, animLength, file->frames);
    lib3ds_file_eval(file, frame);
  }
  Node::update(t);
}

void Model3ds::render() {
  // The Material's state is left in force, as every apply() leaves it.
  if (material) material->apply();
  if (!file) return;
  glPushMatrix();
  applyTransform();
  // The file is z-up; the Scene is y-up.
  glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
  for (Lib3dsNode* node = file->nodes; node; node = node->next) drawNode(file, node);
  glPopMatrix();
}

}  // namespace vorn
