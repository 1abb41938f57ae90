#include "GP/ResourceStorage.h"

#include "GP/CompiledResources.h"
#include "GP/Symbol.h"

#include <CoreServices/CoreServices.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace QV::GP {

namespace {

// The first four characters, big-endian; false when the text is shorter.
bool resourceType(const char* typeCode, ResType& type)
{
    if (!typeCode || std::strlen(typeCode) < 4)
        return false;
    type = 0;
    for (int i = 0; i < 4; ++i)
        type = type << 8 | static_cast<unsigned char>(typeCode[i]);
    return true;
}

bool resourceId(unsigned int id, ResID& out)
{
    const int value = static_cast<int>(id);  // negative ids arrive as their unsigned value
    if (value < -32768 || value > 32767)
        return false;
    out = static_cast<ResID>(value);
    return true;
}

// The handle's bytes, owning the handle: it is disposed of with the last holder.
tSharedBytes bytesOfHandle(void* resource)
{
    const auto handle = static_cast<Handle>(resource);
    const std::shared_ptr<void> owner(handle, [](void* held) {
        HUnlock(static_cast<Handle>(held));
        DisposeHandle(static_cast<Handle>(held));
    });
    return {std::shared_ptr<const unsigned char>(owner, reinterpret_cast<const unsigned char*>(*handle)),
            static_cast<size_t>(GetHandleSize(handle))};
}

// Compiled resources live as long as the program: nothing owns them.
tSharedBytes compiledBytes(const unsigned char* data, size_t size)
{
    return {std::shared_ptr<const unsigned char>(std::shared_ptr<void>(), data), size};
}

}  // namespace

ResourceStorage::~ResourceStorage() { release(); }

void ResourceStorage::release()
{
    m_memory.reset();
    m_bytes = {};  // the handle goes with the last holder of its bytes
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
}

void* ResourceStorage::loadFromBundle(void* bundle, bool byId, unsigned int id, const char* name, const char* typeCode)
{
    if (!bundle)
        return nullptr;
    const CFBundleRefNum map = CFBundleOpenBundleResourceMap(static_cast<CFBundleRef>(bundle));
    if (map == -1)
        return nullptr;
    ResType type = 0;
    ResID resId = 0;
    Handle handle = nullptr;
    if (resourceType(typeCode, type)) {
        if (byId) {
            if (resourceId(id, resId))
                handle = Get1Resource(type, resId);
        } else if (name && std::strlen(name) <= 255) {
            Str255 pascal = {static_cast<unsigned char>(std::strlen(name))};
            std::memcpy(pascal + 1, name, pascal[0]);
            handle = Get1NamedResource(type, pascal);
        }
    }
    // A resource without data counts as missing; it stays with the map, which frees it.
    if (handle && *handle) {
        DetachResource(handle);  // outlives the map
        HLock(handle);
    } else {
        handle = nullptr;
    }
    CloseResFile(map);
    return handle;
}

bool ResourceStorage::serve(tSharedBytes bytes)
{
    m_bytes = std::move(bytes);
    m_memory = std::make_unique<MemoryStorage>();
    // Read-only: the memory storage never writes through a buffer handed over for reading.
    m_memory->init(eAccessRead, const_cast<unsigned char*>(m_bytes.data.get()), m_bytes.size);
    m_accessMode = eAccessRead;
    m_status = eStatusOK;
    return true;
}

bool ResourceStorage::init(void* bundle, unsigned int id, const char* typeCode)
{
    release();
    if (void* handle = loadFromBundle(bundle, true, id, nullptr, typeCode))
        return serve(bytesOfHandle(handle));
    const char* type = typeCode ? typeCode : "";
    try {
        const qv::compiled_resources::bytes bytes = qv::compiled_resources::resolve_resource_data(qv::symbol(type), id);
        return bytes.data() && serve(compiledBytes(bytes.data(), bytes.size()));
    } catch (const std::exception&) {
        std::fprintf(stderr, "cannot resolve resource: %s %u\n", type, id);
        std::fflush(stderr);
        return false;
    }
}

bool ResourceStorage::init(void* bundle, const char* name, const char* typeCode)
{
    release();
    if (!name)
        return false;
    if (void* handle = loadFromBundle(bundle, false, 0, name, typeCode))
        return serve(bytesOfHandle(handle));
    try {
        const qv::compiled_resources::bytes bytes = qv::compiled_resources::resolve_resource_data(qv::symbol(name));
        return bytes.data() && serve(compiledBytes(bytes.data(), bytes.size()));
    } catch (const std::exception&) {
        std::fprintf(stderr, "cannot resolve resource: %s\n", name);
        std::fflush(stderr);
        return false;
    }
}

size_t ResourceStorage::read(void* dst, size_t n)
{
    if (!m_memory)
        return 0;
    const size_t done = m_memory->read(dst, n);
    m_status = m_memory->getStatus();
    return done;
}

size_t ResourceStorage::write(const void* src, size_t n)
{
    if (!m_memory)
        return 0;
    const size_t done = m_memory->write(src, n);
    m_status = m_memory->getStatus();
    return done;
}

long long ResourceStorage::getPos64() const { return m_memory ? m_memory->getPos64() : -1; }

void ResourceStorage::seek64(long long offset, eSeekMode mode)
{
    if (!m_memory || (mode == eSeekFromCurrent && !isGood()))
        return;
    m_memory->seek64(offset, mode);
    m_status = m_memory->getStatus();
}

}  // namespace QV::GP
