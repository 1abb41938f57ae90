// Memory Manager stand-in: relocatable blocks reached through a handle (a pointer to the block's
// master pointer).
//
// Implements: DisposeHandle, GetHandleSize, HLock, HUnlock.
// Lacks: NewHandle and every call that resizes, purges or copies blocks (nothing of ours calls them).
// Deviations: blocks never move, so locking only records the state. Disposing a resource handle that
// is still attached to its resource map detaches it first, instead of corrupting the map.
#pragma once

#include "CoreServices/MacTypes.h"

// Frees the block and the handle; null is ignored.
void DisposeHandle(Handle handle);
// The block's size in bytes; 0 for null.
Size GetHandleSize(Handle handle);
void HLock(Handle handle);
void HUnlock(Handle handle);
