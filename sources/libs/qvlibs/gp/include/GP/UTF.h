// Conversions between UTF-8, UTF-16 and UTF-32 over boost.locale's header-only UTF traits, walked with
// GP/CodePointWalk.h.
//
// Invalid input is dropped and everything valid is kept, in order: an illegal or incomplete sequence
// costs exactly its first code unit, and decoding starts again at the next one. (boost.locale's own
// utf_to_utf, in skip mode, also swallows the unit that showed a sequence to be broken, so "\xC3" "A"
// would lose the 'A'.) Unpaired UTF-16 surrogates and encoded surrogates or values above U+10FFFF in
// UTF-8 count as invalid.
#pragma once

#include "GP/CodePointWalk.h"

#include <boost/locale/utf.hpp>

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace QV::GP::details {

// Calls sink(code point) for every valid code point of [p, e), skipping invalid units one at a time.
template <class CharIn, class Sink>
void forEachCodePoint(const CharIn* p, const CharIn* e, Sink&& sink)
{
    while (p != e) {
        const char32_t c = nextCodePoint(p, e);
        if (!isInvalidUnit(c))
            sink(c);
    }
}

// Appends the encoding of one valid code point to `out` (any container of CharOut with push_back).
template <class CharOut, class Container>
void appendCodePoint(char32_t c, Container& out)
{
    using Traits = boost::locale::utf::utf_traits<CharOut>;
    Traits::encode(static_cast<boost::locale::utf::code_point>(c), std::back_inserter(out));
}

// UTF to UTF, the invalid input dropped. Only the filtering form exists.
template <class CharOut, class CharIn, bool Filter>
struct utf_to_utf {
    static_assert(Filter, "only the filtering conversion exists: invalid input is always dropped");

    static std::basic_string<CharOut> apply(const CharIn* begin, const CharIn* end)
    {
        std::basic_string<CharOut> result;
        result.reserve(static_cast<std::size_t>(end - begin));
        forEachCodePoint(begin, end, [&result](char32_t c) { appendCodePoint<CharOut>(c, result); });
        return result;
    }

    static std::basic_string<CharOut> apply(const std::basic_string<CharIn>& text)
    {
        return apply(text.data(), text.data() + text.size());
    }
};

// Holds the converted form of a text and serves it as a (pointer, length) view for the platform's
// string constructors. CharOut may be a plain integer type (unsigned short for UniChar).
template <class CharOut, class CharIn, bool Filter>
class utf_to_utf_chseqref {
    static_assert(Filter, "only the filtering conversion exists: invalid input is always dropped");

public:
    static utf_to_utf_chseqref create(const std::basic_string<CharIn>& text)
    {
        return create(text.data(), text.size());
    }

    static utf_to_utf_chseqref create(const CharIn* text, std::size_t length)
    {
        utf_to_utf_chseqref result;
        if (text) {
            result.m_units.reserve(length);
            forEachCodePoint(text, text + length,
                             [&result](char32_t c) { appendCodePoint<CharOut>(c, result.m_units); });
        }
        return result;
    }

    // Not NUL-terminated; null when the text is empty.
    const CharOut* data() const noexcept { return m_units.empty() ? nullptr : m_units.data(); }
    std::size_t size() const noexcept { return m_units.size(); }
    std::size_t length() const noexcept { return m_units.size(); }
    bool empty() const noexcept { return m_units.empty(); }

private:
    std::vector<CharOut> m_units;
};

}  // namespace QV::GP::details
