#include "GP/NSStringRef.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::GP::NSStringRef;

CFStringRef cf(NSString* string) { return reinterpret_cast<CFStringRef>(string); }

std::u16string charactersOf(NSString* string)
{
    return std::u16string(reinterpret_cast<const char16_t*>(CFStringGetCharactersPtr(cf(string))),
                          static_cast<size_t>(CFStringGetLength(cf(string))));
}

CFIndex countOf(NSString* string) { return CFGetRetainCount(cf(string)); }

TEST(NSStringRef, Str2NSStringMakesAnOwnedStringOrNil)
{
    struct Case {
        const char* text;
        bool emptyIfNull;
        bool answersNil;
        std::u16string expected;
    } cases[] = {
        {nullptr, false, true, u""},
        {nullptr, true, false, u""},
        {"", false, true, u""},
        {"", true, false, u""},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         false, false, u"Grüße"},
        {"\xF0\x9F\x8E\xB9", true, false, u"\U0001F3B9"},
        {"A\xFF"
         "B\xC3",
         false, false, u"AB"},  // invalid bytes are dropped
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.text ? c.text : "(null)") + (c.emptyIfNull ? " empty" : " nil");
        for (NSString* string : {NSStringRef::str2NSString(c.text, c.emptyIfNull),
                                 NSStringRef::str2NSString(std::string(c.text ? c.text : ""), c.emptyIfNull)}) {
            if (c.answersNil) {
                EXPECT_EQ(string, nullptr) << label;
                continue;
            }
            ASSERT_NE(string, nullptr) << label;
            EXPECT_EQ(CFGetTypeID(cf(string)), CFStringGetTypeID());
            EXPECT_EQ(charactersOf(string), c.expected) << label;
            EXPECT_EQ(countOf(string), 1) << label << ": owned by the caller";
            objc_release(string);
        }
    }
}

TEST(NSStringRef, CreateWithReplacesAndReleasesTheHeldString)
{
    NSStringRef ref;
    EXPECT_EQ(ref.get(), nullptr);
    ref.createWith("first", false);
    NSString* first = ref.get();
    ASSERT_NE(first, nullptr);
    objc_retain(first);  // watch it
    ref.createWith(std::string("second"), false);
    EXPECT_EQ(countOf(first), 1) << "released by createWith";
    EXPECT_EQ(charactersOf(ref), u"second");
    ref.createWith("", false);
    EXPECT_EQ(ref.get(), nullptr);
    objc_release(first);
}

TEST(NSStringRef, AssignRetainsOnRequestAndIgnoresTheHeldString)
{
    NSString* string = NSStringRef::str2NSString("shared", false);
    {
        NSStringRef ref;
        ref.assign(string, true);
        EXPECT_EQ(countOf(string), 2);
        ref.assign(string, true);
        EXPECT_EQ(countOf(string), 2) << "the held string: nothing happens";
        NSStringRef other;
        other.assign(ref.get(), true);
        EXPECT_EQ(countOf(string), 3);
        other.assign(nullptr, true);
        EXPECT_EQ(countOf(string), 2);
    }
    EXPECT_EQ(countOf(string), 1) << "released by the destructor";
    {
        NSStringRef owner;
        owner.assign(string, false);  // takes over our reference
        EXPECT_EQ(countOf(string), 1);
        NSStringRef moved(std::move(owner));
        EXPECT_EQ(owner.get(), nullptr);
        EXPECT_EQ(moved.get(), string);
        EXPECT_EQ(countOf(string), 1);
    }  // the last release (the sanitizer build checks the memory)
}

}  // namespace
