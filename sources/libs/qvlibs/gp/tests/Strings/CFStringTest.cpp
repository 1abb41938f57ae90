#include "GP/CFString.h"
#include "GP/StringCF.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::GP::CFString;
using QV::GP::StringCF;

std::u16string charactersOf(CFStringRef string)
{
    std::u16string result(static_cast<std::size_t>(CFStringGetLength(string)), u'\0');
    for (std::size_t i = 0; i < result.size(); ++i) {
        UniChar unit = 0;
        CFStringGetCharacters(string, CFRangeMake(static_cast<CFIndex>(i), 1), &unit);
        result[i] = unit;
    }
    return result;
}

TEST(CFStringBridge, Utf8ToCFStringAndBack)
{
    struct Case {
        std::string utf8;
        std::u16string utf16;
        std::string back;
    } cases[] = {
        {"", u"", ""},
        {"IOUSBDevice", u"IOUSBDevice", "IOUSBDevice"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Gr\u00FC\u00DFe",
         "Gr\xC3\xBC\xC3\x9F"
         "e"},
        {"\xF0\x9F\x8E\xB9!", u"\xD83C\xDFB9!", "\xF0\x9F\x8E\xB9!"},
        {"A\xFF"
         "B\xC3",
         u"AB", "AB"},  // invalid bytes dropped on the way in
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Case& c : cases) {
        const CFString string(c.utf8);
        ASSERT_NE(string.get(), nullptr);
        EXPECT_EQ(charactersOf(string), c.utf16) << testing::PrintToString(c.utf8);
        EXPECT_EQ(StringCF(string), c.back) << testing::PrintToString(c.utf8);
    }
}

TEST(CFStringBridge, ViewsNeedNoTerminator)
{
    const char buffer[] = {'a', 'b', 'c', 'd'};
    const CFString string(QV::GP::CharSequence<char>(buffer, 2));
    EXPECT_EQ(StringCF(string), "ab");
}

TEST(CFStringBridge, CFStringOwnsItsReference)
{
    CFStringRef kept = nullptr;
    {
        const CFString string("x");
        EXPECT_EQ(CFGetRetainCount(string), 1);
        kept = static_cast<CFStringRef>(CFRetain(string));
    }
    EXPECT_EQ(CFGetRetainCount(kept), 1);  // the destructor gave back its reference
    CFRelease(kept);
}

TEST(CFStringBridge, StringCFOfNullEmptyAndBrokenStrings)
{
    EXPECT_EQ(StringCF(nullptr), "");

    const UniChar none[] = {0};
    CFStringRef empty = CFStringCreateWithCharacters(kCFAllocatorDefault, none, 0);
    EXPECT_EQ(StringCF(empty), "");
    CFRelease(empty);

    const UniChar broken[] = {'o', 0xD800, 'k', 0xDC00};  // unpaired surrogates
    CFStringRef string = CFStringCreateWithCharacters(kCFAllocatorDefault, broken, 4);
    EXPECT_EQ(StringCF(string), "ok");
    CFRelease(string);
}

TEST(CFStringBridge, LongStringsRoundTrip)
{
    std::string text;
    for (int i = 0; i < 70000; ++i)
        text += (i % 7 == 0) ? "\xE2\x82\xAC" : "x";
    const CFString string(text);
    EXPECT_EQ(CFStringGetLength(string), 70000);
    EXPECT_EQ(StringCF(string), text);
}

}  // namespace
