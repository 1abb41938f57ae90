// One step of a code-point walk over UTF-8 text that never fails: the comparisons of StringUtil and
// wstrcmpc walk with it.
#pragma once

#include <boost/locale/utf.hpp>

namespace QV::GP::DETAIL {

// A byte that does not start a valid sequence is returned as this base plus the byte: outside
// Unicode, so it equals only the same byte and sorts after every valid code point.
constexpr char32_t kInvalidByteBase = 0x110000;

// The code point at p (p != e), advancing p past it; an invalid byte advances p by one.
inline char32_t nextCodePoint(const char*& p, const char* e)
{
    const char* next = p;
    const boost::locale::utf::code_point c = boost::locale::utf::utf_traits<char>::decode(next, e);
    if (c == boost::locale::utf::illegal || c == boost::locale::utf::incomplete) {
        const auto byte = static_cast<unsigned char>(*p++);
        return kInvalidByteBase + byte;
    }
    p = next;
    return static_cast<char32_t>(c);
}

}  // namespace QV::GP::DETAIL
