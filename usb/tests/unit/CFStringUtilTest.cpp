#include "iokit/CFStringUtil.h"

#include "Utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace QV::DVK2 {
namespace {

std::string viaCFString(const std::u16string& units)
{
    CFStringRef string = CFStringCreateWithCharacters(
        kCFAllocatorDefault, reinterpret_cast<const UniChar*>(units.data()), static_cast<CFIndex>(units.size()));
    EXPECT_NE(string, nullptr);
    std::string result = fromCFString(string);
    CFRelease(string);
    return result;
}

TEST(CFStringUtilTest, ConvertsToUtf8)
{
    struct Case {
        std::u16string units;
        std::string utf8;
    };
    const Case cases[] = {
        {u"", ""},
        {u"VDX2024000001", "VDX2024000001"},
        {u"Orvendal GmbH & Co. \u00E9\u00FC", "Orvendal GmbH & Co. \xC3\xA9\xC3\xBC"},
        {u"\u20AC 5", "\xE2\x82\xAC 5"},
        {u"a\U0001F3B9b", "a\xF0\x9F\x8E\xB9"
                          "b"},  // a surrogate pair becomes one 4-byte sequence
        {std::u16string(u"x\0y", 3), std::string("x\0y", 3)},
        {u"\uFFFF", "\xEF\xBF\xBF"},
        {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(viaCFString(c.units), c.utf8);
    }
}

TEST(CFStringUtilTest, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(viaCFString(std::u16string{u'a', 0xD83C}), "a" + replacement);  // high at the end
    EXPECT_EQ(viaCFString(std::u16string{0xDF39, u'b'}), replacement + "b");  // lone low
    EXPECT_EQ(viaCFString(std::u16string{0xD83C, u'c'}), replacement + "c");  // high without low
    EXPECT_EQ(viaCFString(std::u16string{0xD83C, 0xD83C, 0xDFB9}), replacement + "\xF0\x9F\x8E\xB9");
}

TEST(CFStringUtilTest, LongStringsAreKeptWhole)
{
    const std::u16string units(40000, u'\u00E9');
    const std::string utf8 = viaCFString(units);
    ASSERT_EQ(utf8.size(), 80000u);
    EXPECT_EQ(utf8.substr(79998), "\xC3\xA9");
}

TEST(CFStringUtilTest, NullGivesEmpty) { EXPECT_EQ(fromCFString(nullptr), ""); }

TEST(CFStringUtilTest, CreatedFromUtf8RoundTrips)
{
    const char* text = "Vardolin Studio \xE2\x80\x93 \xF0\x9F\x8E\xB9";
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(fromCFString(string), text);
    CFRelease(string);
}

}  // namespace
}  // namespace QV::DVK2
