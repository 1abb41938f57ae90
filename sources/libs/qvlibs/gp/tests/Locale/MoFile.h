// Builds GNU "mo" catalogues for the tests, in either byte order, with a way to spoil them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace QV::TEST {

struct tMoEntry {
    std::string source;  // may hold NULs (plural forms)
    std::string translation;
};

// The catalogue's bytes: header (28 bytes), source table, translation table, then the texts, each
// followed by a NUL. The header entry (empty source) comes first, as msgfmt writes it.
class MoFile {
public:
    explicit MoFile(std::vector<tMoEntry> entries, bool bigEndian = false)
    {
        entries.insert(entries.begin(), tMoEntry{"", "Content-Type: text/plain; charset=UTF-8\n"});
        const uint32_t count = static_cast<uint32_t>(entries.size());
        const uint32_t sources = 28, translations = sources + 8 * count;
        m_bytes.resize(translations + 8 * count);
        m_bigEndian = bigEndian;
        put(0, 0x950412DE);
        put(4, 0);
        put(8, count);
        put(12, sources);
        put(16, translations);
        put(20, 0);
        put(24, 0);
        for (uint32_t i = 0; i < count; ++i) {
            putText(sources + 8 * i, entries[i].source);
            putText(translations + 8 * i, entries[i].translation);
        }
    }

    // Writes a 32-bit field at `offset` in the catalogue's byte order.
    void put(uint32_t offset, uint32_t value)
    {
        for (int i = 0; i < 4; ++i) {
            const int shift = m_bigEndian ? 8 * (3 - i) : 8 * i;
            m_bytes[offset + i] = static_cast<unsigned char>(value >> shift);
        }
    }

    // Offsets of the i-th entry's fields (i = 0 is the header entry).
    static uint32_t sourceLength(uint32_t i) { return 28 + 8 * i; }
    static uint32_t sourceOffset(uint32_t i) { return 28 + 8 * i + 4; }
    uint32_t translationLength(uint32_t i) const { return translationTable() + 8 * i; }
    uint32_t translationOffset(uint32_t i) const { return translationTable() + 8 * i + 4; }

    std::vector<unsigned char>& bytes() { return m_bytes; }

private:
    uint32_t translationTable() const
    {
        const uint32_t b[4] = {m_bytes[16], m_bytes[17], m_bytes[18], m_bytes[19]};
        return m_bigEndian ? (b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3])
                           : (b[3] << 24 | b[2] << 16 | b[1] << 8 | b[0]);
    }

    void putText(uint32_t entry, const std::string& text)
    {
        const uint32_t at = static_cast<uint32_t>(m_bytes.size());
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        m_bytes.push_back(0);
        put(entry, static_cast<uint32_t>(text.size()));
        put(entry + 4, at);
    }

    std::vector<unsigned char> m_bytes;
    bool m_bigEndian = false;
};

}  // namespace QV::TEST
