#include "UIA/ResourceMap.h"

namespace QV::UIA {

uint32_t ResourceMap::packType(const char* type)
{
    uint32_t code = 0;
    bool bEnded = !type;
    for (int i = 0; i < 4; ++i) {
        if (!bEnded && type[i] == '\0')
            bEnded = true;
        code = (code << 8) | (bEnded ? 0u : uint32_t(static_cast<unsigned char>(type[i])));
    }
    return code;
}

void ResourceMap::add(const char* type, uint32_t id, const void* data, std::size_t size)
{
    std::unique_ptr<IdMap>& ids = m_types[packType(type)];
    if (!ids)
        ids = std::make_unique<IdMap>();
    (*ids)[id] = ResEntry{static_cast<const unsigned char*>(data), data ? size : 0};
}

const ResourceMap::ResEntry* ResourceMap::find(const char* type, uint32_t id) const
{
    const auto ids = m_types.find(packType(type));
    if (ids == m_types.end())
        return nullptr;
    const auto entry = ids->second->find(id);
    return entry != ids->second->end() ? &entry->second : nullptr;
}

void ResourceMap::clear() { std::map<uint32_t, std::unique_ptr<IdMap>>().swap(m_types); }

}  // namespace QV::UIA
