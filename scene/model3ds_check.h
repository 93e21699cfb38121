// The byte check a 3DS file passes before lib3ds reads it: every chunk lib3ds
// walks must fit its parent, every count its chunk, every face and group index
// its list, and the node links must not send lib3ds's node insertion into
// endless recursion.
#pragma once

#include <vector>

namespace vorn {

// True when lib3ds may read the bytes. Chunks the model does not use are
// renamed in place to an id lib3ds skips unread; false refuses the file whole.
bool checkModelBytes(std::vector<unsigned char>& bytes);

}  // namespace vorn
