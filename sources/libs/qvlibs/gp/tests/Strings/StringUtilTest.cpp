#include "GP/StringUtil.h"

#include "Strings/CaseFolding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::GP::StringUtil;
using QV::GP::wstrcmpc;
using QV::GP::DETAIL::toUpperCodePoint;

constexpr std::size_t npos = std::string::npos;

TEST(CaseFolding, UpperCasesBeyondAscii)
{
    struct Case {
        char32_t in, out;
    } cases[] = {
        {U'a', U'A'},
        {U'Z', U'Z'},
        {U'1', U'1'},
        {U'\u00E4', U'\u00C4'},          // ä
        {U'\u03C3', U'\u03A3'},          // Greek sigma
        {U'\u0430', U'\u0410'},          // Cyrillic a
        {U'\U00010428', U'\U00010400'},  // Deseret, beyond the BMP
        {U'\u00DF', U'\u00DF'},          // ß has no single upper-case code point
        {U'\u20AC', U'\u20AC'},
        {0x110000 + 0xFF, 0x110000 + 0xFF},  // outside Unicode: unchanged
    };
    for (const Case& c : cases)
        EXPECT_EQ(toUpperCodePoint(c.in), c.out) << std::hex << static_cast<unsigned>(c.in);
}

TEST(CaseFolding, MissingLocalesFallBackWithoutThrowing)
{
    // A fresh Debian has no en_US.UTF-8: the next name is taken.
    const std::locale utf8 = QV::GP::DETAIL::firstInstalledLocale({"xx_NOWHERE.UTF-8", "C.UTF-8"});
    EXPECT_EQ(utf8.name(), "C.UTF-8");
    EXPECT_EQ(std::use_facet<std::ctype<wchar_t>>(utf8).toupper(L'\u00E9'), L'\u00C9');

    std::locale none;
    EXPECT_NO_THROW(none = QV::GP::DETAIL::firstInstalledLocale({"xx_NOWHERE.UTF-8", "yy_NOWHERE"}));
    EXPECT_EQ(none.name(), "C");
}

TEST(StringUtil, FindsSubStringsIgnoringCase)
{
    struct Case {
        const char* text;
        const char* sub;
        std::size_t start;
        std::size_t expected;
    } cases[] = {
        {"/Volumes/Data", "volumes", 0, 1},
        {"/Volumes/Data", "DATA", 0, 9},
        {"/Volumes/Data", "data", 10, npos},  // the only match begins before start
        {"abcabc", "BC", 2, 4},               // search from start on
        {"abc", "abcd", 0, npos},             // sub runs past the text
        {"abc", "x", 3, npos},                // start at the text's end
        {"abc", "a", 7, npos},                // start beyond the text
        {"abc", "", 1, 1},                    // empty sub: start itself
        {"abc", "", 3, 3},
        {"abc", "", 4, npos},
        {"", "", 0, 0},
        {"aab", "ab", 0, 1},  // a partial match does not skip the next try
        {"Gr\xC3\x9C\xC3\x9F"
         "E",
         "\xC3\xBC\xC3\x9F"
         "e",
         0, 2},  // ÜßE matches üße; positions in bytes
        {"\xE2\x82\xAC"
         "ABC",
         "bc", 0, 4},
        {"\xD0\x9C\xD0\x98\xD0\xA0", "\xD0\xB8\xD1\x80", 0, 2},              // МИР contains ир
        {"x\xF0\x9F\x8E\xB9y\xF0\x9F\x8E\xB9Y", "\xF0\x9F\x8E\xB9y", 2, 6},  // start inside a character
        {"a\xFF"
         "b",
         "\xFF"
         "B",
         0, 1},  // a stray byte matches only itself
        {"a\xFE"
         "b",
         "\xFF"
         "B",
         0, npos},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringUtil::findPosOfSubStringNoCase(c.text, c.sub, c.start), c.expected)
            << testing::PrintToString(c.text) << " / " << testing::PrintToString(c.sub) << " from " << c.start;
}

TEST(StringUtil, CountsMatchingCharactersInBytes)
{
    struct Case {
        const char* a;
        const char* b;
        std::size_t start;
        bool caseSensitive;
        std::size_t expected;
    } cases[] = {
        {"/Volumes/Data", "/Volumes/", 0, true, 9},
        {"/Volumes/Data", "/volumes/", 0, true, 1},
        {"/Volumes/Data", "/volumes/", 0, false, 9},
        {"/Volumes/Data", "data", 9, false, 4},  // from a byte position inside a
        {"/Volumes/Data", "Datum", 9, true, 3},
        {"abc", "", 0, true, 0},
        {"", "abc", 0, true, 0},
        {"abc", "abc", 3, true, 0},  // start at the end
        {"abc", "abc", 9, true, 0},  // start beyond the end
        {"\xC3\xA4"
         "x",
         "\xC3\x84"
         "X",
         0, false, 3},  // äx against ÄX: three bytes of a
        {"\xC3\xA4"
         "x",
         "\xC3\x84"
         "X",
         0, true, 0},
        {"\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xBA", "\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xB9", 0, true, 4},
        {"ab\xFF"
         "c",
         "AB\xFF"
         "C",
         0, false, 4},  // a stray byte equals the same byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringUtil::countMatchingCharacters(c.a, c.b, c.start, c.caseSensitive), c.expected)
            << testing::PrintToString(c.a) << " / " << testing::PrintToString(c.b) << " from " << c.start;
}

TEST(StringUtil, ComparesCodePointsWithAndWithoutCase)
{
    struct Case {
        const char* a;
        const char* b;
        bool caseSensitive;
        int expected;
    } cases[] = {
        {"abc", "ABD", false, -1},
        {"abc", "ABD", true, 1},  // 'a' > 'A'
        {"ab", "a", true, 1},
        {"a", "ab", false, -1},
        {"", "", true, 0},
        {"abc", "ABC", false, 0},
        {"abc", "ABC", true, 1},
        {"\xC3\xA4", "\xC3\x84", false, 0},  // ä / Ä
        {"\xC3\xA4", "\xC3\x84", true, 1},
        {"z", "\xC3\xA4", true, -1},                     // by code point, not by locale collation
        {"\xEF\xBF\xBF", "\xF0\x90\x80\x80", true, -1},  // U+FFFF < U+10000 (in UTF-16 units it is the other way round)
        {"\xCF\x83x", "\xCE\xA3X", false, 0},            // σx / ΣX
        {"a\xFF", "a\xC3\xA4", true, 1},                 // a stray byte sorts after every code point
        {"a\xFF", "a\xFF", false, 0},
        {"a\xFE", "a\xFF", false, -1},
        {nullptr, "", true, 0},
        {nullptr, "a", true, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wstrcmpc(c.a, c.b, c.caseSensitive), c.expected)
            << testing::PrintToString(c.a ? c.a : "(null)") << " / " << testing::PrintToString(c.b);
        EXPECT_EQ(wstrcmpc(c.b, c.a, c.caseSensitive), -c.expected) << "swapped";
    }
}

TEST(StringUtil, ByteHelpers)
{
    struct RemoveCase {
        const char* text;
        std::size_t n;
        const char* expected;
    } removes[] = {{"abcdef", 2, "cdef"}, {"abc", 0, "abc"}, {"abc", 3, ""}, {"abc", 99, ""}, {"", 1, ""}};
    for (const RemoveCase& c : removes) {
        std::string text = c.text;
        StringUtil::removeFirst(text, c.n);
        EXPECT_EQ(text, c.expected);
    }

    std::string appended;
    for (char c : {'a', '\0', '\x7F', static_cast<char>(0x80), static_cast<char>(0xFF), 'z'})
        StringUtil::appendCharASCII(appended, c);
    EXPECT_EQ(appended, "a\x7Fz");

    struct AsciiCase {
        std::string text;
        std::string expected;
    } asciis[] = {
        {"plain text 123", "plain text 123"},
        {"", ""},
        {"caf\xC3\xA9", ""},           // one accented letter
        {std::string("a\0b", 3), ""},  // NUL
        {"\x7F", "\x7F"},
        {"abc\x80", ""},
    };
    for (const AsciiCase& c : asciis)
        EXPECT_EQ(StringUtil::toAscii(c.text), c.expected) << testing::PrintToString(c.text);
}

}  // namespace
