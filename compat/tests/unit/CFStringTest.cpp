#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string charactersOf(CFStringRef string)
{
    return std::u16string(reinterpret_cast<const char16_t*>(CFStringGetCharactersPtr(string)),
                          static_cast<size_t>(CFStringGetLength(string)));
}

TEST(CFString, Utf8IsStoredAsUtf16)
{
    struct Case {
        const char* utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"IOUSBDevice", u"IOUSBDevice"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"},
        {"\xE2\x82\xAC", u"€"},
        {"\xF0\x9F\x8E\xB9", u"\U0001F3B9"},  // a surrogate pair
    };
    for (const Case& c : cases) {
        CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, c.utf8, kCFStringEncodingUTF8);
        ASSERT_NE(string, nullptr) << c.utf8;
        EXPECT_EQ(CFGetTypeID(string), CFStringGetTypeID());
        EXPECT_EQ(charactersOf(string), c.utf16) << c.utf8;
        CFRelease(string);
    }
}

TEST(CFString, MalformedUtf8IsRefused)
{
    const char* cases[] = {
        "\xC3",              // truncated sequence
        "\xC0\xAF",          // overlong '/'
        "\xED\xA0\x80",      // a UTF-16 surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xFF",
    };
    for (const char* text : cases)
        EXPECT_EQ(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(CFStringCreateWithCString(kCFAllocatorDefault, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST(CFString, CharactersCopyOnlyAValidRange)
{
    const UniChar text[] = {'a', 'b', 'c', 'd'};
    CFStringRef string = CFStringCreateWithCharacters(kCFAllocatorDefault, text, 4);
    UniChar out[4] = {'x', 'x', 'x', 'x'};
    CFStringGetCharacters(string, CFRangeMake(1, 2), out);
    EXPECT_EQ(out[0], 'b');
    EXPECT_EQ(out[1], 'c');
    EXPECT_EQ(out[2], 'x');
    CFStringGetCharacters(string, CFRangeMake(3, 2), out);  // runs past the end: nothing copied
    EXPECT_EQ(out[0], 'b');
    CFRelease(string);
}

TEST(CFObject, RetainAndReleaseCount)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, "x", kCFStringEncodingUTF8);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    EXPECT_EQ(CFRetain(string), string);
    EXPECT_EQ(CFGetRetainCount(string), 2);
    CFRelease(string);
    EXPECT_EQ(CFGetRetainCount(string), 1);
    CFRelease(string);
}

}  // namespace
