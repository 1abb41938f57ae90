// The table behind qv::symbol: 4096 bucket chains that never rehash, one mutex for every lookup and
// insertion. Entries are never freed, and the table itself is never destroyed, so symbols stay valid
// in static destructors too.
#pragma once

#include "GP/Symbol.h"

#include <array>
#include <cstdint>
#include <mutex>

namespace qv::detail {

class SymbolTable {
public:
    static constexpr std::size_t kBucketCount = 4096;

    static SymbolTable& instance();

    // The entry for exactly `length` bytes of `text`, made on first request.
    const symbol_entry* intern(const char* text, std::size_t length);
    const symbol_entry* empty() const noexcept { return m_pEmpty; }

    // h = h * 65599 + byte, each byte taken as a signed 8-bit value, in wrapping 64-bit arithmetic.
    static std::uint64_t hashOf(const char* text, std::size_t length) noexcept;

private:
    SymbolTable();

    std::mutex m_mutex;
    std::array<symbol_entry*, kBucketCount> m_buckets{};
    const symbol_entry* m_pEmpty;
};

}  // namespace qv::detail
