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
    SInt16 owner;  // the resource map that holds the block as a resource; 0 when none
};
static_assert(std::is_standard_layout<HandleBlock>::value, "a handle must convert to its block");

inline HandleBlock* blockOf(Handle handle) { return reinterpret_cast<HandleBlock*>(handle); }
inline Handle handleOf(HandleBlock* block) { return &block->master; }

// A new block of `size` bytes (uninitialised), or null when memory is short. 0 bytes make an empty
// handle, whose master pointer is null.
Handle newBlock(Size size);
// Frees the block and its handle.
void freeBlock(Handle handle);

// Takes an attached resource off its map (DisposeHandle on a resource that was not detached).
void forgetResource(Handle handle);

}  // namespace qvcompat::coreservices
