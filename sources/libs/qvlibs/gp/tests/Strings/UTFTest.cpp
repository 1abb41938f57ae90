#include "GP/StringUtil.h"
#include "GP/UTF.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using QV::GP::StringUtil;

std::u16string toUtf16(const std::string& utf8)
{
    return QV::GP::details::utf_to_utf<char16_t, char, true>::apply(utf8);
}

// An oracle written apart from the code under test: the CoreFoundation stand-in refuses anything that
// is not strict UTF-8.
bool isStrictUtf8(const std::string& text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text.c_str(), kCFStringEncodingUTF8);
    if (!string)
        return false;
    CFRelease(string);
    return true;
}

bool isSubsequence(const std::string& part, const std::string& whole)
{
    std::size_t i = 0;
    for (char c : whole)
        if (i < part.size() && part[i] == c)
            ++i;
    return i == part.size();
}

TEST(Utf, ValidTextRoundTripsThroughUtf16)
{
    struct Case {
        const char* utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"plain ASCII", u"plain ASCII"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Gr\u00FC\u00DFe"},                                     // two-byte sequences
        {"\xE2\x82\xAC 5", u"\u20AC 5"},                          // three bytes
        {"\xF0\x9F\x8E\xB9", u"\xD83C\xDFB9"},                    // four bytes: a surrogate pair
        {"a\xF4\x8F\xBF\xBFz", u"a\xDBFF\xDFFFz"},                // U+10FFFF, the last code point
        {"\xEF\xBF\xBD\xF0\x90\x80\x80", u"\xFFFD\xD800\xDC00"},  // U+FFFD, then U+10000
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(StringUtil::fromUTF_filter(c.utf16), c.utf8) << c.utf8;
        EXPECT_EQ(StringUtil::fromUTF(c.utf16.data(), c.utf16.size()), c.utf8) << c.utf8;
        EXPECT_EQ(StringUtil::fromUTF_filter(std::string(c.utf8)), c.utf8) << "valid text is left alone";
    }
}

TEST(Utf, EmbeddedNulIsACharacter)
{
    const std::string text("a\0b", 3);
    EXPECT_EQ(toUtf16(text), std::u16string(u"a\0b", 3));
    EXPECT_EQ(StringUtil::fromUTF_filter(text), text);
}

TEST(Utf, InvalidUtf8IsDroppedAndTheRestKept)
{
    struct Case {
        const char* input;
        const char* filtered;
    } cases[] = {
        {"\x41\xFF\x42", "AB"},  // a byte that is never UTF-8
        {"\xC3"
         "A",
         "A"},  // a lead without its trail: the 'A' after it stays
        {"\xE2\x82"
         "A",
         "A"},                   // a three-byte sequence cut after two
        {"x\xF0\x9F\x8E", "x"},  // cut at the end of the text
        {"\x80\xBF"
         "ok",
         "ok"},                            // trails without a lead
        {"\xC0\xAF", ""},                  // overlong '/'
        {"\xE0\x80\xAF", ""},              // overlong, three bytes
        {"\xED\xA0\x80\xED\xBF\xBF", ""},  // encoded surrogates
        {"\xF4\x90\x80\x80", ""},          // above U+10FFFF
        {"\xC3\xC3\xA9", "\xC3\xA9"},      // a broken lead, then a good 'é'
        {"\xF0\x9F\x8E\xB9\xFF\xF0\x9F\x8E\xB9", "\xF0\x9F\x8E\xB9\xF0\x9F\x8E\xB9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StringUtil::fromUTF_filter(std::string(c.input)), c.filtered) << testing::PrintToString(c.input);
        EXPECT_EQ(toUtf16(c.input), toUtf16(c.filtered)) << testing::PrintToString(c.input);
    }
}

TEST(Utf, UnpairedSurrogatesAreDroppedAndTheRestKept)
{
    struct Case {
        std::u16string input;
        const char* utf8;
    } cases[] = {
        {u"\xD800"
         "A",
         "A"},  // a high surrogate without its low: the 'A' stays
        {u"A\xDC00"
         "B",
         "AB"},                                       // a low surrogate alone
        {u"A\xDBFF", "A"},                            // a high surrogate at the end
        {u"\xDC00\xD800", ""},                        // a pair in the wrong order
        {u"\xD800\xD83C\xDFB9", "\xF0\x9F\x8E\xB9"},  // a stray high, then a good pair
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StringUtil::fromUTF_filter(c.input), c.utf8);
        EXPECT_EQ(StringUtil::fromUTF(c.input.data(), c.input.size()), c.utf8);
    }
    EXPECT_EQ(StringUtil::fromUTF<char16_t>(nullptr, 4), "");
    EXPECT_EQ(StringUtil::fromUTF(u"abcdef", 3), "abc");
}

// Random junk between the characters of a valid text: the filter must give back exactly that text,
// and the result must round-trip through UTF-16.
TEST(Utf, JunkBetweenCharactersIsDroppedExactly)
{
    // Code points of every encoded length, the surrogate pair kind included.
    const std::vector<std::string> characters = {
        "a", "Z", "~", "\xC3\xA9", "\xD0\xAF", "\xE2\x82\xAC", "\xEF\xBF\xBD", "\xF0\x9F\x8E\xB9", "\xF4\x8F\xBF\xBF"};
    // Junk that can never join a neighbour into a valid sequence: bytes outside UTF-8, lone leads and
    // truncated sequences (each is followed by a lead byte, another junk piece or the end).
    const std::vector<std::string> junk = {"\xFF", "\xC0", "\xC1", "\xF5", "\xC3", "\xE2\x82", "\xF0\x9F\x8E"};
    std::mt19937 random(4711);
    for (int round = 0; round < 500; ++round) {
        std::string clean, dirty;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i) {
            if (random() % 3 == 0)
                dirty += junk[random() % junk.size()];
            const std::string& character = characters[random() % characters.size()];
            clean += character;
            dirty += character;
        }
        if (random() % 2)
            dirty += junk[random() % junk.size()];

        const std::string filtered = StringUtil::fromUTF_filter(dirty);
        ASSERT_EQ(filtered, clean) << testing::PrintToString(dirty);
        ASSERT_TRUE(isStrictUtf8(filtered));
        ASSERT_EQ(StringUtil::fromUTF_filter(toUtf16(dirty)), clean);
    }
}

// Arbitrary bytes: the result is strict UTF-8, made only of input bytes in their order, and stable.
TEST(Utf, ArbitraryBytesFilterToStrictUtf8)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 16, '\0');
        for (char& c : bytes)
            c = static_cast<char>(random() % 2 ? 0x80 + random() % 0x80 : 1 + random() % 0x7F);
        const std::string filtered = StringUtil::fromUTF_filter(bytes);
        ASSERT_TRUE(isStrictUtf8(filtered)) << testing::PrintToString(bytes);
        ASSERT_TRUE(isSubsequence(filtered, bytes)) << testing::PrintToString(bytes);
        ASSERT_EQ(StringUtil::fromUTF_filter(filtered), filtered);
        ASSERT_EQ(StringUtil::fromUTF_filter(toUtf16(bytes)), filtered);
    }
}

TEST(Utf, HolderServesTheUtf16Units)
{
    using Holder16 = QV::GP::details::utf_to_utf_chseqref<char16_t, char, true>;
    using HolderUniChar = QV::GP::details::utf_to_utf_chseqref<unsigned short, char, true>;

    const auto text = Holder16::create(std::string("\xC3\xA9\xFF\xF0\x9F\x8E\xB9"));
    EXPECT_EQ(std::u16string(text.data(), text.size()), u"\u00E9\xD83C\xDFB9");

    const auto units = HolderUniChar::create(std::string("A\xE2\x82\xAC"));
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units.data()[0], 0x41);
    EXPECT_EQ(units.data()[1], 0x20AC);

    const auto empty = HolderUniChar::create(std::string("\xFF"));
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.size(), 0u);
}

}  // namespace
