// A processor made of a table of CPUID leaves, for the system information's tests. Leaves that are
// not in the table read as zeros, as the instruction answers with nothing to report.
#pragma once

#include "GP/CPUID.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>

namespace QV::TEST {

using QV::GP::IA32::CPUID;
using QV::GP::IA32::tCPUIDLeaf;

class CPUIDTable {
public:
    void set(std::uint32_t leaf, tCPUIDLeaf value, std::uint32_t subleaf = 0) { m_leaves[{leaf, subleaf}] = value; }

    // Leaf 0: the highest standard leaf and the 12-character vendor text (EBX, EDX, ECX).
    void setVendor(const char* vendor, std::uint32_t maxStandardLeaf)
    {
        char text[12] = {};
        std::memcpy(text, vendor, std::min<std::size_t>(std::strlen(vendor), sizeof(text)));
        set(0, {maxStandardLeaf, word(text), word(text + 8), word(text + 4)});
    }

    // Leaves 0x80000002 to 0x80000004: the brand text, NUL-padded to 48 bytes.
    void setBrand(const std::string& brand)
    {
        char text[48] = {};
        std::memcpy(text, brand.data(), std::min(brand.size(), sizeof(text)));
        for (std::uint32_t i = 0; i < 3; ++i) {
            const char* part = text + 16 * i;
            set(0x80000002u + i, {word(part), word(part + 4), word(part + 8), word(part + 12)});
        }
    }

    CPUID::tReader reader() const
    {
        return [leaves = m_leaves](std::uint32_t leaf, std::uint32_t subleaf) {
            const auto found = leaves.find({leaf, subleaf});
            return found == leaves.end() ? tCPUIDLeaf{} : found->second;
        };
    }

private:
    static std::uint32_t word(const char* bytes)
    {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes[i]);
        return value;
    }

    std::map<std::pair<std::uint32_t, std::uint32_t>, tCPUIDLeaf> m_leaves;
};

// Answers CPUID from a table for the life of this object.
class ScopedCPUID {
public:
    explicit ScopedCPUID(const CPUIDTable& table) : m_previous(CPUID::setReader(table.reader())) {}
    ~ScopedCPUID() { CPUID::setReader(std::move(m_previous)); }
    ScopedCPUID(const ScopedCPUID&) = delete;
    ScopedCPUID& operator=(const ScopedCPUID&) = delete;

private:
    CPUID::tReader m_previous;
};

}  // namespace QV::TEST
