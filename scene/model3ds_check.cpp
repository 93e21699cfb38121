// The byte check a 3DS file passes before lib3ds reads it. lib3ds trusts
// what it reads, so every chunk, count, index and node link it will use is
// checked here first; the drawing is model3ds.cpp's.
#include "scene/model3ds_check.h"

#include <lib3ds/chunk.h>
#include <lib3ds/node.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <set>

namespace vorn {

namespace {

using Bytes = std::vector<unsigned char>;

constexpr size_t kChunkHeader = 6;
constexpr size_t kMaxNameBytes = 64;  // lib3ds's name buffers, terminating zero included

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
// keys it allocates, and a node naming its own id as parent before any other
// node holds that id makes its node insertion recurse forever. So every chunk
// lib3ds will walk into must fit inside its parent, every count must fit its
// chunk, every face must name points of its mesh and every group entry a face
// of its list, and no node may be such a node; a file that fails any of this
// is refused whole. Chunks the model does not use are renamed to an id lib3ds
// skips by its (checked) size, so that nothing unchecked is ever parsed.

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
      case LIB3DS_MDATA: ok = checkModelData(top); break;
      case LIB3DS_M3DMAGIC:
      case LIB3DS_MLIBMAGIC:
      case LIB3DS_CMAGIC:
        ok = forEachChunk(b_, top.data, top.end, {LIB3DS_MDATA, LIB3DS_KFDATA},
                          [&](const Chunk& c) { return c.id == LIB3DS_MDATA ? checkModelData(c) : checkKeyframes(c); });
        break;
      default: return false;
    }
    return ok && nodeInsertionEnds();
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
    const bool ok = forEachChunk(b_, mesh.data, mesh.end,
                                 {LIB3DS_POINT_ARRAY, LIB3DS_POINT_FLAG_ARRAY, LIB3DS_FACE_ARRAY, LIB3DS_TEX_VERTS,
                                  LIB3DS_MESH_MATRIX, LIB3DS_MESH_COLOR},
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
                        {LIB3DS_KFHDR, LIB3DS_KFSEG, LIB3DS_KFCURTIME, LIB3DS_AMBIENT_NODE_TAG, LIB3DS_OBJECT_NODE_TAG,
                         LIB3DS_CAMERA_NODE_TAG, LIB3DS_TARGET_NODE_TAG, LIB3DS_LIGHT_NODE_TAG,
                         LIB3DS_SPOTLIGHT_NODE_TAG, LIB3DS_L_TARGET_NODE_TAG},
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
    const bool ok =
        forEachChunk(b_, node.data, node.end,
                     {LIB3DS_NODE_ID, LIB3DS_NODE_HDR, LIB3DS_PIVOT, LIB3DS_INSTANCE_NAME, LIB3DS_MORPH_SMOOTH,
                      LIB3DS_BOUNDBOX, LIB3DS_POS_TRACK_TAG, LIB3DS_ROT_TRACK_TAG, LIB3DS_SCL_TRACK_TAG,
                      LIB3DS_FOV_TRACK_TAG, LIB3DS_ROLL_TRACK_TAG, LIB3DS_COL_TRACK_TAG, LIB3DS_MORPH_TRACK_TAG,
                      LIB3DS_HOT_TRACK_TAG, LIB3DS_FALL_TRACK_TAG, LIB3DS_HIDE_TRACK_TAG},
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

  // lib3ds inserts the nodes in file order, each under the first node already
  // in its tree whose id is the node's parent id (at the top when there is
  // none), and then moves every top-level node whose parent id is the new
  // node's id, taking its subtree along, by inserting it again. A node whose
  // parent id is its own id, met while no earlier node holds that id, lands at
  // the top and is moved again for itself without end: lib3ds's recursion
  // overflows the stack. Every other file ends as a tree, since a moved node
  // is detached with its subtree before it is linked; nodes naming each other
  // in a loop just stay where the first of them was placed. Only that one case
  // is refused.
  bool nodeInsertionEnds() const {
    std::set<uint16_t> held;
    for (const NodeLink& n : nodes_) {
      if (n.parent != LIB3DS_NO_PARENT && n.parent == n.id && held.count(n.id) == 0) return false;
      held.insert(n.id);
    }
    return true;
  }

  Bytes& b_;
  std::vector<NodeLink> nodes_;
  size_t firstNodeOfSection_ = 0;
};

}  // namespace

bool checkModelBytes(Bytes& bytes) { return FileCheck(bytes).run(); }

}  // namespace vorn
