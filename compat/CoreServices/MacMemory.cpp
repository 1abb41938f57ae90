#include "CoreServices/MacMemory.h"

#include "CoreServices/HandleBlock.h"

#include <sys/mman.h>

#include <cstdlib>
#include <new>

namespace qvcompat::coreservices {

Handle newBlock(Size size)
{
    if (size < 0)
        return nullptr;
    auto* block = new (std::nothrow) HandleBlock{nullptr, size, false, 0};
    if (!block)
        return nullptr;
    if (size == 0)
        return handleOf(block);  // an empty handle: no block at all
    block->master = static_cast<Ptr>(std::malloc(static_cast<std::size_t>(size)));
    if (!block->master) {
        delete block;
        return nullptr;
    }
    return handleOf(block);
}

Handle newMappedBlock(int fd, Size size)
{
    if (size <= 0)
        return nullptr;
    auto* block = new (std::nothrow) HandleBlock{nullptr, size, false, 0, true};
    if (!block)
        return nullptr;
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
        delete block;
        return nullptr;
    }
    block->master = static_cast<Ptr>(mapped);
    return handleOf(block);
}

void freeBlock(Handle handle)
{
    HandleBlock* block = blockOf(handle);
    if (block->mapped)
        ::munmap(block->master, static_cast<std::size_t>(block->size));
    else
        std::free(block->master);
    delete block;
}

}  // namespace qvcompat::coreservices

using namespace qvcompat::coreservices;

void DisposeHandle(Handle handle)
{
    if (!handle)
        return;
    forgetResource(handle);
    freeBlock(handle);
}

Size GetHandleSize(Handle handle) { return handle ? blockOf(handle)->size : 0; }

void HLock(Handle handle)
{
    if (handle)
        blockOf(handle)->locked = true;
}

void HUnlock(Handle handle)
{
    if (handle)
        blockOf(handle)->locked = false;
}
