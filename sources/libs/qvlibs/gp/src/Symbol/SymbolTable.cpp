#include "SymbolTable.h"

#include <cstring>
#include <memory>

namespace qv::detail {

SymbolTable& SymbolTable::instance()
{
    static SymbolTable* s_table = new SymbolTable;
    return *s_table;
}

SymbolTable::SymbolTable() : m_pEmpty(intern("", 0)) {}

std::uint64_t SymbolTable::hashOf(const char* text, std::size_t length) noexcept
{
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < length; ++i)
        h = h * 65599u + static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(text[i])));
    return h;
}

const symbol_entry* SymbolTable::intern(const char* text, std::size_t length)
{
    const std::uint64_t hash = hashOf(text, length);
    symbol_entry*& bucket = m_buckets[hash % kBucketCount];
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const symbol_entry* entry = bucket; entry; entry = entry->next)
        if (entry->hash == hash && entry->text.size() == length && std::memcmp(entry->text.data(), text, length) == 0)
            return entry;
    // A failed copy of the text frees nothing else and leaves the lock with the guard.
    auto* entry = new symbol_entry{bucket, std::string(text, length), static_cast<std::size_t>(hash)};
    bucket = entry;
    return entry;
}

}  // namespace qv::detail
