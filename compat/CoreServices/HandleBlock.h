// The block behind a handle, shared by the Memory Manager and the resource manager stand-ins. A
// handle is the address of the block's first member, its master pointer.
#pragma once

#include "CoreServices/MacTypes.h"

#include <type_traits>

namespace qvcompat::coreservices {

struct HandleBlock {
    Ptr master;  // first: a Handle is the address of this member
    Size size;
    bool locked;
    SInt16 owner;         // the resource map that holds the block as a resource; 0 when none
    bool mapped = false;  // the bytes are a private mapping of a file (newMappedBlock)
};
static_assert(std::is_standard_layout<HandleBlock>::value, "a handle must convert to its block");

inline HandleBlock* blockOf(Handle handle) { return reinterpret_cast<HandleBlock*>(handle); }
inline Handle handleOf(HandleBlock* block) { return &block->master; }

// A new block of `size` bytes (uninitialised), or null when memory is short. 0 bytes make an empty
// handle, whose master pointer is null.
Handle newBlock(Size size);
// A new block whose bytes are the first `size` bytes of the open file `fd`, mapped privately: pages
// are read as they are touched, and writes stay in the block. Null when the file cannot be mapped.
Handle newMappedBlock(int fd, Size size);
// Frees the block and its handle.
void freeBlock(Handle handle);

// Takes an attached resource off its map (DisposeHandle on a resource that was not detached).
void forgetResource(Handle handle);

}  // namespace qvcompat::coreservices
