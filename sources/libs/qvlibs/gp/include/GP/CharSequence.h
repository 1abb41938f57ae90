// A non-owning view of text: a pointer and a length in code units (bytes for UTF-8). The usual text
// parameter of the platform core and the UI layer, so callers can pass a literal, a std::string or a
// piece of a buffer without a copy. The viewed text must outlive the view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace QV::GP {

template <class Char>
class CharSequence {
public:
    using value_type = Char;
    using const_iterator = const Char*;

    // The empty text. data() is never null, so callers may hand it on as a C string.
    constexpr CharSequence() noexcept : m_pText(emptyText()), m_nLength(0) {}

    // A NUL-terminated text; null is taken as the empty text.
    constexpr CharSequence(const Char* text) noexcept
        : m_pText(text ? text : emptyText()), m_nLength(text ? std::char_traits<Char>::length(text) : 0)
    {}

    // `length` code units from `text`; they need not end with NUL. A null text gives the empty text.
    constexpr CharSequence(const Char* text, std::size_t length) noexcept
        : m_pText(text ? text : emptyText()), m_nLength(text ? length : 0)
    {}

    CharSequence(const std::basic_string<Char>& text) noexcept : m_pText(text.c_str()), m_nLength(text.size()) {}

    constexpr CharSequence(std::basic_string_view<Char> text) noexcept : CharSequence(text.data(), text.size()) {}

    constexpr const Char* data() const noexcept { return m_pText; }
    constexpr std::size_t size() const noexcept { return m_nLength; }
    constexpr std::size_t length() const noexcept { return m_nLength; }
    constexpr bool empty() const noexcept { return m_nLength == 0; }

    constexpr const_iterator begin() const noexcept { return m_pText; }
    constexpr const_iterator end() const noexcept { return m_pText + m_nLength; }
    constexpr Char operator[](std::size_t index) const noexcept { return m_pText[index]; }

    constexpr std::basic_string_view<Char> view() const noexcept { return {m_pText, m_nLength}; }
    std::basic_string<Char> str() const { return std::basic_string<Char>(m_pText, m_nLength); }

    friend constexpr bool operator==(const CharSequence& a, const CharSequence& b) noexcept
    {
        return a.view() == b.view();
    }
    friend constexpr bool operator!=(const CharSequence& a, const CharSequence& b) noexcept { return !(a == b); }

private:
    static constexpr const Char* emptyText() noexcept { return &s_empty; }

    static constexpr Char s_empty = Char();

    const Char* m_pText;
    std::size_t m_nLength;
};

}  // namespace QV::GP
