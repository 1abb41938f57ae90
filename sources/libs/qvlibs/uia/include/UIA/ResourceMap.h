// Resources supplied from memory, by four-character type code and numeric id, ahead of the
// bundle's own. A host fills it; this program leaves it empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>

namespace QV::UIA {

class ResourceMap {
public:
    struct ResEntry {
        const unsigned char* data = nullptr;  // not owned: the host keeps the bytes alive
        std::size_t size = 0;
    };
    using IdMap = std::map<uint32_t, ResEntry>;

    // The first four characters of the type packed big-endian (the first in the top byte); a
    // shorter type is padded with zero bytes, null gives 0.
    static uint32_t packType(const char* type);

    // Serves size bytes at data (kept by the caller) for the type and id, replacing an entry.
    void add(const char* type, uint32_t id, const void* data, std::size_t size);
    // The entry for the type and id, or null.
    const ResEntry* find(const char* type, uint32_t id) const;

    bool empty() const { return m_types.empty(); }
    // Deletes every inner map and releases the outer one's storage.
    void clear();

private:
    std::map<uint32_t, std::unique_ptr<IdMap>> m_types;
};

}  // namespace QV::UIA
