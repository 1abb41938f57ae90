// A storage over one resource of an application bundle, found by four-character type and id or name
// in the bundle's resource map, else in the resources compiled into the program. The bytes are served
// in place, read-only.
#pragma once

#include "GP/IStorage.h"
#include "GP/MemoryStorage.h"

#include <memory>

namespace QV::GP {

class ResourceStorage final : public IStorage {
public:
    ResourceStorage() = default;
    ~ResourceStorage() override;

    // `bundle`: the bundle handle of the running code (a CFBundleRef), or null to ask only the compiled
    // resources. `typeCode`: text whose first four characters are the resource type ("TTFd",
    // "PICTURE" -> 'PICT'). The id must fit a 16-bit resource id (-32768 to 32767, negative ids passed
    // as their unsigned value) for the bundle to be asked. When neither has the resource, the line
    // "cannot resolve resource: <type> <id>" (or "... <name>") goes to standard error and the result is
    // false, with the storage closed. A storage that was initialised before is released first.
    bool init(void* bundle, unsigned int id, const char* typeCode);
    bool init(void* bundle, const char* name, const char* typeCode);

    size_t read(void* dst, size_t n) override;
    // Resources are read-only: 0.
    size_t write(const void* src, size_t n) override;
    long long getPos64() const override;
    void seek64(long long offset, eSeekMode mode) override;

    size_t size() const { return m_memory ? m_memory->size() : 0; }
    // The resource's bytes, held for as long as the block is (also after this storage closes).
    tSharedBytes shareAll() override { return m_bytes; }

private:
    void release();
    // The detached, locked resource from the bundle's map, or null.
    static void* loadFromBundle(void* bundle, bool byId, unsigned int id, const char* name, const char* typeCode);
    bool serve(tSharedBytes bytes);

    std::unique_ptr<MemoryStorage> m_memory;
    tSharedBytes m_bytes;  // owns the platform's resource handle, when the bytes come from one
};

}  // namespace QV::GP
