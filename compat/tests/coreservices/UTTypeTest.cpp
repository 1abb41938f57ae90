// Uniform type identifiers: conformance along the table of the types the program exchanges.
#include <CoreServices/UTType.h>

#include <gtest/gtest.h>

namespace {

CFStringRef make(const char* text) { return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8); }

TEST(UTType, ATypeConformsToItselfAndItsAncestorsOnly)
{
    struct Case {
        const char* type;
        const char* to;
        bool conforms;
    } cases[] = {
        {"public.utf16-plain-text", "public.utf16-plain-text", true},
        {"public.utf16-plain-text", "public.plain-text", true},
        {"public.utf8-plain-text", "public.text", true},
        {"public.file-url", "public.url", true},
        {"public.file-url", "public.item", true},
        {"PUBLIC.File-URL", "public.file-url", true},  // identifiers ignore case
        {"public.utf8-plain-text", "public.utf16-plain-text", false},
        {"public.plain-text", "public.utf8-plain-text", false},  // not downwards
        {"public.url", "public.file-url", false},
        {"public.file-url", "public.text", false},
        {"com.example.own", "com.example.own", true},  // outside the table: itself only
        {"com.example.own", "public.item", false},
    };
    for (const Case& c : cases) {
        CFStringRef type = make(c.type);
        CFStringRef to = make(c.to);
        EXPECT_EQ(UTTypeConformsTo(type, to) != 0, c.conforms) << c.type << " -> " << c.to;
        CFRelease(type);
        CFRelease(to);
    }
    EXPECT_FALSE(UTTypeConformsTo(nullptr, kUTTypeItem));
    EXPECT_FALSE(UTTypeConformsTo(kUTTypeFileURL, nullptr));
    EXPECT_TRUE(UTTypeConformsTo(kUTTypeUTF16PlainText, kUTTypePlainText));
}

}  // namespace
