// Keyframe rows: one row per storeKeys call, written as data so that a node's
// keys read like a table. Applying rows poses and keys a node.
#pragma once

#include <optional>
#include <vector>

#include "scene/node.h"

namespace vorn {

// One storeKeys call at `time` (entry-local seconds). A present triple is set
// on the node and stored; a missing one (kDash) is neither changed nor stored.
struct KeyRow {
  float time = 0.0f;
  std::optional<Vec3> position;
  std::optional<Vec3> rotation;  // degrees about x, y, z
  std::optional<Vec3> scale;
};

inline constexpr std::nullopt_t kDash = std::nullopt;

// Applies the rows in order: each row sets the triples it shows, sets the key
// time and stores exactly those triples. Triples a row leaves out keep what the
// node holds, so the caller sets any triple the first row omits beforehand.
// Rows must come in ascending time order (the Tracks never sort).
void storeKeyRows(Node& node, const std::vector<KeyRow>& rows);

}  // namespace vorn
