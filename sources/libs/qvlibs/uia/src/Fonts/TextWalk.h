// The code-point walk over UTF-8 text that measuring and drawing share.
#pragma once

#include <boost/locale/utf.hpp>

namespace QV::UIA::DETAIL {

// Decodes the code point at p (p < end) into c and moves p past it. A byte that does not start a
// valid sequence is passed over alone: false, p one byte on.
inline bool nextCodePoint(const char*& p, const char* end, char32_t& c)
{
    using Traits = boost::locale::utf::utf_traits<char>;
    const char* next = p;
    const boost::locale::utf::code_point decoded = Traits::decode(next, end);
    if (decoded == boost::locale::utf::illegal || decoded == boost::locale::utf::incomplete) {
        ++p;
        return false;
    }
    c = char32_t(decoded);
    p = next;
    return true;
}

}  // namespace QV::UIA::DETAIL
