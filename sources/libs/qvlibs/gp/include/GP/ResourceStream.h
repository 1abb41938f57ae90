// A stream over one bundle resource (GP/ResourceStorage.h), carrying its storage with it.
#pragma once

#include "GP/ResourceStorage.h"
#include "GP/Stream.h"

namespace QV::GP {

class ResourceStream final : public Stream {
public:
    ResourceStream() { setStorage(&m_storage); }

    // ResourceStorage::init on the stream's storage.
    bool init(void* bundle, unsigned int id, const char* typeCode) { return m_storage.init(bundle, id, typeCode); }
    bool init(void* bundle, const char* name, const char* typeCode) { return m_storage.init(bundle, name, typeCode); }

    ResourceStorage& storage() { return m_storage; }

private:
    ResourceStorage m_storage;
};

}  // namespace QV::GP
