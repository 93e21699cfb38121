// Fresh memory costs a page fault per page on first touch; asking the kernel
// to make a whole block present in one call costs about half as much.
#pragma once

#include <cstddef>

namespace vorn {

// Makes the whole pages inside [p, p + bytes) present and writable, keeping
// their contents. A hint: where the system cannot, nothing happens.
void prefault(void* p, std::size_t bytes);

}  // namespace vorn
