// The code-point walk on broken text: every invalid unit is a character of its own, one unit long;
// the conversions drop exactly those characters and the comparisons keep them.
#include "GP/CodePointWalk.h"
#include "GP/StringUtil.h"
#include "GP/UTF.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using QV::GP::isInvalidUnit;
using QV::GP::kInvalidUnitBase;
using QV::GP::StringUtil;

constexpr char32_t bad(unsigned unit) { return kInvalidUnitBase + unit; }

template <class CharIn>
std::u32string walk(const std::basic_string<CharIn>& text)
{
    std::u32string out;
    const CharIn* p = text.data();
    const CharIn* const end = p + text.size();
    while (p != end) {
        const CharIn* const before = p;
        out.push_back(QV::GP::nextCodePoint(p, end));
        if (p <= before || p > end)
            ADD_FAILURE() << "the walk must move forward and stay in the text";
    }
    return out;
}

std::u32string validOnly(const std::u32string& characters)
{
    std::u32string out;
    for (char32_t c : characters)
        if (!isInvalidUnit(c))
            out.push_back(c);
    return out;
}

std::u32string toUtf32(const std::string& utf8)
{
    return QV::GP::details::utf_to_utf<char32_t, char, true>::apply(utf8);
}

TEST(CodePointWalk, BadBytesAreCharactersOfTheirOwn)
{
    struct Case {
        std::string bytes;
        std::u32string characters;
    } const cases[] = {
        // bytes                                 the characters of the walk
        {"", U""},
        {std::string("\0", 1), std::u32string(1, U'\0')},  // NUL is a character
        {"A\xFF"
         "B",
         {U'A', bad(0xFF), U'B'}},  // a byte that is never UTF-8
        {"\x80\xBF"
         "A",
         {bad(0x80), bad(0xBF), U'A'}},  // continuation bytes without a lead
        {"\xC3"
         "A",
         {bad(0xC3), U'A'}},  // a lead cut short: the 'A' survives
        {"\xE2\x82"
         "A",
         {bad(0xE2), bad(0x82), U'A'}},                                      // three bytes cut after two
        {"x\xF0\x9F\x8E", {U'x', bad(0xF0), bad(0x9F), bad(0x8E)}},          // cut at the end of the text
        {"\xC0\xAF", {bad(0xC0), bad(0xAF)}},                                // overlong '/'
        {"\xE0\x80\xAF", {bad(0xE0), bad(0x80), bad(0xAF)}},                 // overlong, three bytes
        {"\xED\xA0\x80", {bad(0xED), bad(0xA0), bad(0x80)}},                 // an encoded surrogate
        {"\xF4\x90\x80\x80", {bad(0xF4), bad(0x90), bad(0x80), bad(0x80)}},  // above U+10FFFF
        {"\xC3\xC3\xA9", {bad(0xC3), U'\u00E9'}},                            // a broken lead, then a good 'é'
        {"\xF0\x9F\x8E\xB9\xFF", {U'\U0001F3B9', bad(0xFF)}},                // four bytes, then junk
        {"\xF4\x8F\xBF\xBF", {U'\U0010FFFF'}},                               // the last code point is valid
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        const std::u32string characters = walk(c.bytes);
        EXPECT_EQ(characters, c.characters);
        // Conversions keep exactly the valid characters; comparisons see every character.
        EXPECT_EQ(toUtf32(c.bytes), validOnly(c.characters));
        EXPECT_EQ(toUtf32(StringUtil::fromUTF_filter(c.bytes)), validOnly(c.characters));
        EXPECT_EQ(StringUtil::countMatchingCharacters(c.bytes, c.bytes, 0, true), c.bytes.size());
    }
}

TEST(CodePointWalk, UnpairedSurrogatesAreUnitsOfTheirOwn)
{
    struct Case {
        std::u16string units;
        std::u32string characters;
    } const cases[] = {
        {u"\xD800"
         "A",
         {bad(0xD800), U'A'}},                                  // a high surrogate without its low
        {u"A\xDC00", {U'A', bad(0xDC00)}},                      // a low surrogate alone
        {u"\xDC00\xD800", {bad(0xDC00), bad(0xD800)}},          // a pair in the wrong order
        {u"\xD800\xD83C\xDFB9", {bad(0xD800), U'\U0001F3B9'}},  // a stray high, then a good pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(walk(c.units), c.characters);
        EXPECT_EQ(toUtf32(StringUtil::fromUTF_filter(c.units)), validOnly(c.characters));
    }
}

TEST(CodePointWalk, ABadByteEqualsOnlyItselfAndSortsAfterEveryCharacter)
{
    EXPECT_EQ(QV::GP::wstrcmpc("a\xFF", "a\xFF", true), 0);
    EXPECT_EQ(QV::GP::wstrcmpc("a\xFE", "a\xFF", false), -1);
    EXPECT_EQ(QV::GP::wstrcmpc("\xFF", "\xF4\x8F\xBF\xBF", true), 1);  // after U+10FFFF
    EXPECT_EQ(QV::GP::wstrcmpc("\xC3", "\xC3\xA9", false), 1);         // a cut lead is not its character
    EXPECT_EQ(StringUtil::findPosOfSubStringNoCase("ab\xFF"
                                                   "cd\xFF",
                                                   "\xFF", 3),
              5u);
}

}  // namespace
