// An interned text: equal texts share one entry, so symbols compare and hash by one pointer. The
// toolkit's style system keys its properties and selectors with symbols.
//
// Entries live until exit and never change, so reading a symbol's text or hash needs no lock; interning
// is thread-safe (one table per process, made on first use).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace qv {

namespace detail {

// One interned text: the link to the next entry of its bucket, the text and its hash.
struct symbol_entry {
    symbol_entry* next;
    const std::string text;
    const std::size_t hash;
};

}  // namespace detail

class symbol {
public:
    // The shared empty symbol (the same entry as symbol("", 0)).
    symbol();
    // Interns the whole text, NUL bytes included.
    explicit symbol(const std::string& text);
    // Interns exactly `length` bytes from `text`, which need not end there with a NUL (null with any
    // length is the empty text).
    symbol(const char* text, unsigned long length);

    const std::string& string() const noexcept { return m_entry->text; }
    std::size_t hash() const noexcept { return m_entry->hash; }

    // The interned text equals the NUL-terminated text (a null pointer equals nothing).
    bool operator==(const char* text) const noexcept;
    bool operator!=(const char* text) const noexcept { return !(*this == text); }

    friend bool operator==(symbol a, symbol b) noexcept { return a.m_entry == b.m_entry; }
    friend bool operator!=(symbol a, symbol b) noexcept { return a.m_entry != b.m_entry; }
    // An order by identity, fixed for the life of the process, for ordered containers: not by text.
    friend bool operator<(symbol a, symbol b) noexcept { return std::less<const void*>()(a.m_entry, b.m_entry); }

private:
    const detail::symbol_entry* m_entry;
};

}  // namespace qv

template <>
struct std::hash<qv::symbol> {
    std::size_t operator()(qv::symbol s) const noexcept { return s.hash(); }
};
