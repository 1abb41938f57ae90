// URLs made from their text: what is a URL and what is not, and the text a file URL answers.
#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string utf8(CFStringRef string)
{
    std::string text;
    for (CFIndex i = 0; i < CFStringGetLength(string); ++i) {
        UniChar unit = 0;
        CFStringGetCharacters(string, CFRangeMake(i, 1), &unit);
        text += static_cast<char>(unit);
    }
    return text;
}

CFURLRef urlOf(const char* text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    CFURLRef url = CFURLCreateWithString(kCFAllocatorDefault, string, nullptr);
    CFRelease(string);
    return url;
}

TEST(UrlStringTest, ValidTextMakesAUrlThatAnswersItsText)
{
    for (const char* text : {"https://example.org/kb?id=1&lang=en#top", "mailto:help@example.org",
                             "http://[::1]:8080/a%20b", "relative/path", "file:///tmp/x"}) {
        CFURLRef url = urlOf(text);
        ASSERT_NE(url, nullptr) << text;
        EXPECT_EQ(utf8(CFURLGetString(url)), text);
        CFRelease(url);
    }
}

TEST(UrlStringTest, MalformedTextMakesNoUrl)
{
    for (const char* text : {"", "http://exa mple.org", "https://example.org/%zz", "https://example.org/%4",
                             "https://example.org/\"quoted\"", "https://example.org/<tag>", "https://caf\xC3\xA9.org",
                             "https://example.org/a\\b", "https://example.org/{x}"})
        EXPECT_EQ(urlOf(text), nullptr) << text;
    EXPECT_EQ(CFURLCreateWithString(kCFAllocatorDefault, nullptr, nullptr), nullptr);
}

TEST(UrlStringTest, AFileUrlAnswersItsEscapedPathAndAUrlStringNoPath)
{
    const std::string path = "/tmp/a b%c#d";
    CFURLRef file = CFURLCreateFromFileSystemRepresentation(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), false);
    EXPECT_EQ(utf8(CFURLGetString(file)), "file:///tmp/a%20b%25c%23d");
    CFRelease(file);

    CFURLRef url = urlOf("file:///tmp/x");
    UInt8 buffer[64];
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer));
    CFRelease(url);
}

}  // namespace
