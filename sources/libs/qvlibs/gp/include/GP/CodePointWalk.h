// The one code-point walk of the platform core and the UI layer, over UTF-8 (or UTF-16) text that
// need not be valid: file names on Linux and texts from files are arbitrary bytes.
//
// The walk never fails and never loses a valid character. A unit that does not start a valid
// sequence (a stray continuation byte, a lead byte whose sequence is cut short, an overlong form, an
// encoded surrogate, a value above U+10FFFF, a byte that is never UTF-8; in UTF-16 an unpaired
// surrogate) is a character of its own, one unit long, and the walk goes on at the next unit: so a
// broken sequence never swallows the valid character after it.
//
// That character is kInvalidUnitBase plus the unit: outside Unicode, so it equals only the same
// unit and sorts after every real character. The comparisons of StringUtil keep it; the
// conversions drop it (decoding skips exactly the invalid units); a font has no glyph for it and
// draws the font's missing glyph.
#pragma once

#include <boost/locale/utf.hpp>

#include <type_traits>

namespace QV::GP {

constexpr char32_t kInvalidUnitBase = 0x110000;

// Whether a character of the walk stands for an invalid unit.
constexpr bool isInvalidUnit(char32_t c) { return c >= kInvalidUnitBase; }

// The character at p (p != end), moving p past it: a code point, or kInvalidUnitBase plus the unit
// with p one unit on.
template <class CharIn>
inline char32_t nextCodePoint(const CharIn*& p, const CharIn* end)
{
    using Traits = boost::locale::utf::utf_traits<CharIn>;
    const CharIn* next = p;
    const boost::locale::utf::code_point c = Traits::decode(next, end);
    if (c == boost::locale::utf::illegal || c == boost::locale::utf::incomplete) {
        using Unit = std::make_unsigned_t<CharIn>;
        return kInvalidUnitBase + static_cast<Unit>(*p++);
    }
    p = next;
    return static_cast<char32_t>(c);
}

}  // namespace QV::GP
