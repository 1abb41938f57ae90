// UTF-8 string utilities: conversions that drop invalid input, case-insensitive search and compare
// on code points, and small byte-level helpers.
//
// The code-point walks (findPosOfSubStringNoCase, countMatchingCharacters, wstrcmpc) never throw: a
// byte that does not start a valid UTF-8 sequence is taken as a character of its own that equals only
// the same byte and sorts after every valid code point. File names on Linux need not be valid UTF-8,
// and a comparison must not fail on them.
#pragma once

#include "GP/UTF.h"

#include <cstddef>
#include <string>

namespace QV::GP {

class StringUtil {
public:
    // UTF-8 to clean UTF-8 (Char = char), or UTF-16 to UTF-8 (Char = char16_t); invalid sequences
    // and unpaired surrogates are dropped.
    template <class Char>
    static std::string fromUTF_filter(const std::basic_string<Char>& text)
    {
        return details::utf_to_utf<char, Char, true>::apply(text);
    }

    // `count` code units from `units` to UTF-8; invalid input is dropped. A null buffer gives "".
    template <class Char>
    static std::string fromUTF(const Char* units, std::size_t count)
    {
        if (!units)
            return std::string();
        return details::utf_to_utf<char, Char, true>::apply(units, units + count);
    }

    // Byte position of the first occurrence of `sub` in `text` at or after byte position `start`,
    // code points compared case-insensitively. An empty `sub` gives `start` (while start is within
    // the text or at its end); npos when there is no occurrence or start lies beyond the text.
    static std::size_t findPosOfSubStringNoCase(const std::string& text, const std::string& sub, std::size_t start);

    // Walks `a` from byte position `start` and `b` from its beginning while both have code points and
    // they are equal (upper-cased first when !caseSensitive); the number of bytes of `a` passed.
    static std::size_t countMatchingCharacters(const std::string& a, const std::string& b, std::size_t start,
                                               bool caseSensitive);

    // Removes the first n bytes; n at or beyond the length empties the string.
    static void removeFirst(std::string& text, std::size_t n);

    // Appends c when it is an ASCII character other than NUL (1..127), else nothing.
    static void appendCharASCII(std::string& text, char c);

    // A copy when every byte is in 1..127, else the empty string.
    static std::string toAscii(const std::string& text);
};

namespace DETAIL {

// The upper-case form of a code point, from the wide-character classification of "en_US.UTF-8"
// where installed, else "C.UTF-8", else the classic locale (ASCII only). Never throws. Values outside
// Unicode come back unchanged.
char32_t toUpperCodePoint(char32_t c);

}  // namespace DETAIL

// Compares two NUL-terminated UTF-8 texts code point by code point: -1, 0 or 1. A text that ends first
// is the smaller one; else the smaller code point decides. Case-insensitively, two different code
// points that agree once upper-cased compare equal and the walk goes on. Null counts as "".
template <class Char>
int wstrcmpc(const Char* a, const Char* b, bool caseSensitive);

template <>
int wstrcmpc<char>(const char* a, const char* b, bool caseSensitive);

}  // namespace QV::GP
