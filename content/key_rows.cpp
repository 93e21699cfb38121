// Applies keyframe rows to a node through its setters and storeKeys.
#include "content/key_rows.h"

namespace vorn {

void storeKeyRows(Node& node, const std::vector<KeyRow>& rows) {
  for (const KeyRow& row : rows) {
    if (row.position) node.setPosition(row.position->x, row.position->y, row.position->z);
    if (row.rotation) node.setRotation(row.rotation->x, row.rotation->y, row.rotation->z);
    if (row.scale) node.setScale(row.scale->x, row.scale->y, row.scale->z);
    node.setKeyTime(row.time);
    node.storeKeys(row.position ? 1 : 0, row.rotation ? 1 : 0, row.scale ? 1 : 0);
  }
}

}  // namespace vorn
