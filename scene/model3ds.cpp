// Model3ds: loads a 3DS file through lib3ds after checking the parts lib3ds
// reads unguarded, plays its keyframes, and draws each object node's mesh from
// a display list compiled on first use. Texturing comes from the Material.
#include "scene/model3ds.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <lib3ds/chunk.h>
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/gl_procs.h"
#include "platform/regular_file.h"
#include "scene/material.h"

namespace vorn {

namespace {

constexpr const char* kDummyNodeName = "$$$DUMMY";
constexpr float kMaxShininess = 128.0f;
constexpr size_t kChunkHeader = 6;
constexpr size_t kMaxNameBytes = 64;  // lib3ds's name buffers, terminating zero included
// lib3ds_mesh_calculate_normals keeps the distinct face normals met at one
// point in a fixed array of this many entries.
constexpr int kMaxFacesPerSmoothedPoint = 128;

using Bytes = std::vector<unsigned char>;

uint16_t readU16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

uint32_t readU32(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

void writeU16(Bytes& b, size_t at, uint16_t v) {
  b[at] = static_cast<unsigned char>(v & 0xFF);
  b[at + 1] = static_cast<unsigned char>(v >> 8);
}

// The raw file is checked before lib3ds reads it, because lib3ds trusts what
// it reads: a chunk of size 0 inside a chunk it walks makes it loop forever,
// face point indices feed its face normals while loading, material-group face
// indices pick the face it copies a name into, track key counts say how many
// keys it allocates, and a loop of node parent links makes its evaluation
// recurse forever. So every chunk lib3ds will walk into must fit inside its
// parent, every count must fit its chunk, every face must name points of its
// mesh and every group entry a face of its list, and the node links must form
// a tree; a file that fails any of this is refused whole. Chunks the model
// does not use are renamed to an id lib3ds skips by its (checked) size, so
// that nothing unchecked is ever parsed.

constexpr uint16_t kSkippedChunk = 0xFFFF;  // no lib3ds reader knows this id

struct Chunk {
  uint16_t id;
  size_t data;  // first byte after the header
  size_t end;   // one past the last byte
  size_t length() const { return end - data; }
};

// The chunk starting at pos, when its header and declared size fit before limit.
bool chunkAt(const Bytes& b, size_t pos, size_t limit, Chunk& out) {
  if (pos + kChunkHeader > limit) return false;
  const uint32_t size = readU32(b, pos + 2);
  if (size < kChunkHeader || size > limit - pos) return false;
  out = {readU16(b, pos), pos + kChunkHeader, pos + size};
  return true;
}

// Walks the chunks packed in [from, end): each must fit; those whose id is in
// known go to check (false refuses the file), the others are renamed so that
// lib3ds skips them.
template <typename Check>
bool forEachChunk(Bytes& b, size_t from, size_t end, std::initializer_list<uint16_t> known, Check check) {
  size_t pos = from;
  while (pos < end) {
    Chunk c;
    if (!chunkAt(b, pos, end, c)) return false;
    if (std::find(known.begin(), known.end(), c.id) == known.end()) {
      writeU16(b, pos, kSkippedChunk);
    } else if (!check(c)) {
      return false;
    }
    pos = c.end;
  }
  return true;
}

// Length of the zero-terminated name at pos, terminator included; 0 when it
// is longer than lib3ds accepts or runs past end.
size_t nameLength(const Bytes& b, size_t pos, size_t end) {
  for (size_t i = 0; i < kMaxNameBytes && pos + i < end; ++i) {
    if (b[pos + i] == 0) return i + 1;
  }
  return 0;
}

// A chunk holding a 16-bit count followed by that many items of itemBytes.
bool countFits(const Bytes& b, const Chunk& c, size_t itemBytes, uint16_t* count = nullptr) {
  if (c.length() < 2) return false;
  const uint16_t n = readU16(b, c.data);
  if (count) *count = n;
  return c.length() >= 2 + itemBytes * n;
}

struct NodeLink {
  uint16_t id;
  uint16_t parent;
};

class FileCheck {
 public:
  explicit FileCheck(Bytes& bytes) : b_(bytes) {}

  // Checks the bytes and renames unused chunks in place; false when the file
  // must be refused.
  bool run() {
    Chunk top;
    if (!chunkAt(b_, 0, b_.size(), top)) return false;
    bool ok = true;
    switch (top.id) {
      case LIB3DS_MDATA:
        ok = checkModelData(top);
        break;
      case LIB3DS_M3DMAGIC:
      case LIB3DS_MLIBMAGIC:
      case LIB3DS_CMAGIC:
        ok = forEachChunk(b_, top.data, top.end, {LIB3DS_MDATA, LIB3DS_KFDATA}, [&](const Chunk& c) {
          return c.id == LIB3DS_MDATA ? checkModelData(c) : checkKeyframes(c);
        });
        break;
      default:
        return false;
    }
    return ok && nodesFormATree();
  }

 private:
  bool checkModelData(const Chunk& mdata) {
    return forEachChunk(b_, mdata.data, mdata.end, {LIB3DS_NAMED_OBJECT, LIB3DS_MAT_ENTRY}, [&](const Chunk& c) {
      return c.id == LIB3DS_NAMED_OBJECT ? checkNamedObject(c) : checkMaterial(c);
    });
  }

  bool checkNamedObject(const Chunk& object) {
    const size_t length = nameLength(b_, object.data, object.end);
    if (length == 0) return false;
    return forEachChunk(b_, object.data + length, object.end, {LIB3DS_N_TRI_OBJECT},
                        [&](const Chunk& c) { return checkMesh(c); });
  }

  bool checkMesh(const Chunk& mesh) {
    // lib3ds keeps the last point and face arrays of a mesh and computes face
    // normals after reading all of its chunks, from the final point list.
    uint16_t points = 0;
    std::vector<Chunk> faceArrays;
    const bool ok = forEachChunk(
        b_, mesh.data, mesh.end,
        {LIB3DS_POINT_ARRAY, LIB3DS_POINT_FLAG_ARRAY, LIB3DS_FACE_ARRAY, LIB3DS_TEX_VERTS, LIB3DS_MESH_MATRIX,
         LIB3DS_MESH_COLOR},
        [&](const Chunk& c) {
          switch (c.id) {
            case LIB3DS_POINT_ARRAY: return countFits(b_, c, 12, &points);
            case LIB3DS_POINT_FLAG_ARRAY: return countFits(b_, c, 2);
            case LIB3DS_TEX_VERTS: return countFits(b_, c, 8);
            case LIB3DS_MESH_MATRIX: return c.length() >= 48;
            case LIB3DS_MESH_COLOR: return c.length() >= 1;
            default: faceArrays.push_back(c); return true;
          }
        });
    if (!ok) return false;
    for (const Chunk& array : faceArrays) {
      if (!checkFaceArray(array, points)) return false;
    }
    return true;
  }

  bool checkFaceArray(const Chunk& array, uint16_t points) {
    uint16_t faces = 0;
    if (!countFits(b_, array, 8, &faces)) return false;
    for (size_t f = 0; f < faces; ++f) {
      const size_t at = array.data + 2 + 8 * f;
      for (int k = 0; k < 3; ++k) {
        if (readU16(b_, at + 2 * k) >= points) return false;
      }
    }
    const size_t facesEnd = array.data + 2 + size_t{8} * faces;
    return forEachChunk(b_, facesEnd, array.end, {LIB3DS_MSH_MAT_GROUP, LIB3DS_SMOOTH_GROUP}, [&](const Chunk& c) {
      if (c.id == LIB3DS_SMOOTH_GROUP) return c.length() >= size_t{4} * faces;
      return checkMaterialGroup(c, faces);
    });
  }

  bool checkMaterialGroup(const Chunk& group, uint16_t faces) {
    const size_t length = nameLength(b_, group.data, group.end);
    if (length == 0) return false;
    const Chunk list{group.id, group.data + length, group.end};
    uint16_t count = 0;
    if (!countFits(b_, list, 2, &count)) return false;
    for (size_t i = 0; i < count; ++i) {
      if (readU16(b_, list.data + 2 + 2 * i) >= faces) return false;
    }
    return true;
  }

  bool checkMaterial(const Chunk& material) {
    return forEachChunk(b_, material.data, material.end,
                        {LIB3DS_MAT_NAME, LIB3DS_MAT_AMBIENT, LIB3DS_MAT_DIFFUSE, LIB3DS_MAT_SPECULAR,
                         LIB3DS_MAT_SHININESS, LIB3DS_MAT_SHIN2PCT, LIB3DS_MAT_TRANSPARENCY},
                        [&](const Chunk& c) {
                          switch (c.id) {
                            case LIB3DS_MAT_NAME: return nameLength(b_, c.data, c.end) != 0;
                            case LIB3DS_MAT_AMBIENT:
                            case LIB3DS_MAT_DIFFUSE:
                            case LIB3DS_MAT_SPECULAR: return checkColour(c);
                            default: return checkPercentage(c);
                          }
                        });
  }

  bool checkColour(const Chunk& colour) {
    return forEachChunk(b_, colour.data, colour.end,
                        {LIB3DS_COLOR_F, LIB3DS_LIN_COLOR_F, LIB3DS_COLOR_24, LIB3DS_LIN_COLOR_24},
                        [&](const Chunk& c) {
                          const bool floats = c.id == LIB3DS_COLOR_F || c.id == LIB3DS_LIN_COLOR_F;
                          return c.length() >= (floats ? 12u : 3u);
                        });
  }

  bool checkPercentage(const Chunk& percentage) {
    return forEachChunk(b_, percentage.data, percentage.end, {LIB3DS_INT_PERCENTAGE, LIB3DS_FLOAT_PERCENTAGE},
                        [&](const Chunk& c) { return c.length() >= (c.id == LIB3DS_INT_PERCENTAGE ? 2u : 4u); });
  }

  bool checkKeyframes(const Chunk& keyframes) {
    firstNodeOfSection_ = nodes_.size();
    return forEachChunk(b_, keyframes.data, keyframes.end,
                        {LIB3DS_KFHDR, LIB3DS_KFSEG, LIB3DS_KFCURTIME, LIB3DS_AMBIENT_NODE_TAG,
                         LIB3DS_OBJECT_NODE_TAG, LIB3DS_CAMERA_NODE_TAG, LIB3DS_TARGET_NODE_TAG,
                         LIB3DS_LIGHT_NODE_TAG, LIB3DS_SPOTLIGHT_NODE_TAG, LIB3DS_L_TARGET_NODE_TAG},
                        [&](const Chunk& c) {
                          switch (c.id) {
                            case LIB3DS_KFHDR: {
                              const size_t length = c.length() > 2 ? nameLength(b_, c.data + 2, c.end) : 0;
                              return length != 0 && c.length() >= 2 + length + 4;
                            }
                            case LIB3DS_KFSEG: return c.length() >= 8;
                            case LIB3DS_KFCURTIME: return c.length() >= 4;
                            default: return checkNode(c);
                          }
                        });
  }

  // Node ids count up from 0 in each keyframe section unless a NODE_ID chunk
  // gives one. Without a NODE_HDR chunk lib3ds leaves the parent id at 0 (its
  // nodes start zeroed), so node 0 without one is its own parent.
  bool checkNode(const Chunk& node) {
    NodeLink link{static_cast<uint16_t>(nodes_.size() - firstNodeOfSection_), 0};
    const bool ok = forEachChunk(
        b_, node.data, node.end,
        {LIB3DS_NODE_ID, LIB3DS_NODE_HDR, LIB3DS_PIVOT, LIB3DS_INSTANCE_NAME, LIB3DS_MORPH_SMOOTH, LIB3DS_BOUNDBOX,
         LIB3DS_POS_TRACK_TAG, LIB3DS_ROT_TRACK_TAG, LIB3DS_SCL_TRACK_TAG, LIB3DS_FOV_TRACK_TAG,
         LIB3DS_ROLL_TRACK_TAG, LIB3DS_COL_TRACK_TAG, LIB3DS_MORPH_TRACK_TAG, LIB3DS_HOT_TRACK_TAG,
         LIB3DS_FALL_TRACK_TAG, LIB3DS_HIDE_TRACK_TAG},
        [&](const Chunk& c) {
          switch (c.id) {
            case LIB3DS_NODE_ID:
              if (c.length() < 2) return false;
              link.id = readU16(b_, c.data);
              return true;
            case LIB3DS_NODE_HDR: {
              const size_t length = nameLength(b_, c.data, c.end);
              if (length == 0 || c.data + length + 6 > c.end) return false;
              link.parent = readU16(b_, c.data + length + 4);
              return true;
            }
            case LIB3DS_PIVOT: return c.length() >= 12;
            case LIB3DS_INSTANCE_NAME: return nameLength(b_, c.data, c.end) != 0;
            case LIB3DS_MORPH_SMOOTH: return c.length() >= 4;
            case LIB3DS_BOUNDBOX: return c.length() >= 24;
            default: return trackFits(c);
          }
        });
    nodes_.push_back(link);
    return ok;
  }

  // lib3ds allocates as many keys as a track's count says, one at a time; the
  // count must fit the chunk (a key takes at least its frame and flags).
  bool trackFits(const Chunk& track) const {
    constexpr size_t kTrackHeader = 14;  // flags, two reserved words, key count
    constexpr size_t kMinKey = 6;
    const size_t length = track.length();
    if (length < kTrackHeader) return false;
    const int32_t keys = static_cast<int32_t>(readU32(b_, track.data + 10));
    return keys <= 0 || static_cast<size_t>(keys) <= (length - kTrackHeader) / kMinKey;
  }

  // lib3ds links each node under the node whose id its parent names; the
  // links must not loop. Ids are required to be unique so the walk is exact.
  bool nodesFormATree() const {
    std::map<uint16_t, uint16_t> parentOf;
    for (const NodeLink& n : nodes_) {
      if (!parentOf.emplace(n.id, n.parent).second) return false;
    }
    for (const NodeLink& n : nodes_) {
      uint16_t at = n.id;
      for (size_t steps = 0; steps <= nodes_.size(); ++steps) {
        const auto up = parentOf.find(at);
        if (up == parentOf.end() || up->second == LIB3DS_NO_PARENT) break;
        if (up->second == n.id || steps == nodes_.size()) return false;
        at = up->second;
      }
    }
    return true;
  }

  Bytes& b_;
  std::vector<NodeLink> nodes_;
  size_t firstNodeOfSection_ = 0;
};

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

// The loaded file, or null (with one line on stderr) when it cannot be read
// or is refused.
Lib3dsFile* loadChecked(const std::string& path) {
  Bytes bytes;
  std::string why;
  if (!readWholeFile(path, bytes, why)) {
    reportOnce(path, "cannot be read: " + why);
    return nullptr;
  }
  FileCheck check(bytes);
  if (!check.run()) {
    reportOnce(path, "is damaged; not shown");
    return nullptr;
  }
  MemoryStream stream{&bytes, 0};
  Lib3dsIo* io = lib3ds_io_new(&stream, streamError, streamSeek, streamTell, streamRead, streamWrite);
  Lib3dsFile* file = io ? lib3ds_file_new() : nullptr;
  if (file && !lib3ds_file_read(file, io)) {
    lib3ds_file_free(file);
    file = nullptr;
  }
  if (io) lib3ds_io_free(io);
  if (!file) {
    reportOnce(path, "cannot be loaded by lib3ds; not shown");
    return nullptr;
  }
  return file;
}

bool faceInRange(const Lib3dsMesh& mesh, const Lib3dsFace& face) {
  return face.points[0] < mesh.points && face.points[1] < mesh.points &&
         face.points[2] < mesh.points;
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
    : file(loadChecked(path)), animStart(animStart), animLength(animLength) {
  if (file) lib3ds_file_eval(file, 0.0f);
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
