// NSString and CFString are one object: both interfaces on strings made by either side.
#include "ObjcTestSupport.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using objc::msgSend;
using qvcompat::test::sel;

id asObject(CFStringRef string) { return static_cast<id>(const_cast<void*>(static_cast<const void*>(string))); }
CFStringRef asCF(id string) { return reinterpret_cast<CFStringRef>(string); }

id newString(const std::u16string& text)
{
    id placeholder = msgSend<id>(objc_getClass("NSString"), sel("alloc"));
    return msgSend<id, const unichar*, NSUInteger>(placeholder, sel("initWithCharacters:length:"),
                                                   reinterpret_cast<const unichar*>(text.data()), text.size());
}

std::u16string charactersOf(id string)
{
    const auto length = msgSend<NSUInteger>(string, sel("length"));
    std::u16string text(length, u'\0');
    msgSend<void, unichar*, NSRange>(string, sel("getCharacters:range:"), reinterpret_cast<unichar*>(text.data()),
                                     NSMakeRange(0, length));
    return text;
}

TEST(NSString, AFoundationStringIsACFString)
{
    id string = newString(u"Grüße \U0001F3B9");
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(CFGetTypeID(asCF(string)), CFStringGetTypeID());
    EXPECT_EQ(CFStringGetLength(asCF(string)), 8) << "the keyboard is a surrogate pair";
    EXPECT_EQ(msgSend<NSUInteger>(string, sel("length")), 8u);
    EXPECT_TRUE(msgSend<BOOL>(string, sel("isKindOfClass:"), objc_getClass("NSString")));

    // One count for both interfaces.
    EXPECT_EQ(CFGetRetainCount(asCF(string)), 1);
    CFRetain(asCF(string));
    EXPECT_EQ(msgSend<NSUInteger>(string, sel("retainCount")), 2u);
    msgSend<id>(string, sel("retain"));
    EXPECT_EQ(CFGetRetainCount(asCF(string)), 3);
    msgSend<void>(string, sel("release"));
    CFRelease(asCF(string));
    EXPECT_EQ(CFGetRetainCount(asCF(string)), 1);
    CFRelease(asCF(string));  // the last one, through CF (the sanitizer build checks the memory)
}

TEST(NSString, ACFStringAnswersNSStringMessages)
{
    const UniChar characters[] = {'V', 'a', 'r', 0xD83C, 0xDFB9};
    CFStringRef cf = CFStringCreateWithCharacters(kCFAllocatorDefault, characters, 5);
    id string = asObject(cf);
    EXPECT_EQ(object_getClass(string), objc_getClass("NSString"));
    EXPECT_EQ(msgSend<NSUInteger>(string, sel("length")), 5u);
    EXPECT_EQ((msgSend<unichar, NSUInteger>(string, sel("characterAtIndex:"), 3)), 0xD83C);
    EXPECT_STREQ(msgSend<const char*>(string, sel("UTF8String")), "Var\xF0\x9F\x8E\xB9");
    msgSend<id>(string, sel("retain"));
    EXPECT_EQ(CFGetRetainCount(cf), 2);
    void* pool = objc_autoreleasePoolPush();
    msgSend<id>(string, sel("autorelease"));
    objc_autoreleasePoolPop(pool);
    EXPECT_EQ(CFGetRetainCount(cf), 1);
    msgSend<void>(string, sel("release"));
}

TEST(NSString, StringsMadeDuringStaticInitialisationAreBridged)
{
    // The CoreFoundation stand-in makes this constant in a static initialiser of its own.
    EXPECT_EQ(object_getClass(asObject(kCFRunLoopDefaultMode)), objc_getClass("NSString"));
    EXPECT_STREQ(msgSend<const char*>(asObject(kCFRunLoopDefaultMode), sel("UTF8String")), "kCFRunLoopDefaultMode");
}

TEST(NSString, StringWithUTF8StringIsAutoreleasedAndRefusesInvalidText)
{
    struct Case {
        const char* utf8;
        const char16_t* utf16;  // null: nil expected
    } cases[] = {
        {"", u""},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         u"Grüße"},
        {"\xF0\x9F\x8E\xB9", u"\U0001F3B9"},
        {"A\xFF"
         "B",
         nullptr},
        {"\xC3", nullptr},
        {nullptr, nullptr},
    };
    Class nsString = objc_getClass("NSString");
    void* pool = objc_autoreleasePoolPush();
    for (const Case& c : cases) {
        id string = msgSend<id>(nsString, sel("stringWithUTF8String:"), c.utf8);
        if (!c.utf16) {
            EXPECT_EQ(string, nullptr) << (c.utf8 ? c.utf8 : "(null)");
            continue;
        }
        ASSERT_NE(string, nullptr) << c.utf8;
        EXPECT_EQ(charactersOf(string), c.utf16) << c.utf8;
        EXPECT_STREQ(msgSend<const char*>(string, sel("UTF8String")), c.utf8);
        EXPECT_EQ(CFGetRetainCount(asCF(string)), 1) << "owned by the pool";
    }
    objc_autoreleasePoolPop(pool);
}

TEST(NSString, UTF8StringReplacesAnUnpairedSurrogate)
{
    id string = newString(std::u16string{u'a', char16_t(0xDC00), u'b', char16_t(0xD800)});
    EXPECT_STREQ(msgSend<const char*>(string, sel("UTF8String")), "a\xEF\xBF\xBD"
                                                                  "b\xEF\xBF\xBD");
    objc_release(string);
}

TEST(NSString, GetCharactersCopiesTheRange)
{
    id string = newString(u"abcdef");
    unichar buffer[4] = {'x', 'x', 'x', 'x'};
    msgSend<void, unichar*, NSRange>(string, sel("getCharacters:range:"), buffer, NSMakeRange(2, 3));
    EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(buffer), 4), u"cdex");
    msgSend<void, unichar*, NSRange>(string, sel("getCharacters:range:"), buffer, NSMakeRange(6, 0));
    EXPECT_EQ(buffer[0], 'c');
    objc_release(string);
}

TEST(NSString, EqualityComparesTheCharacters)
{
    id a = newString(u"Vardolin");
    CFStringRef b = CFStringCreateWithCString(kCFAllocatorDefault, "Vardolin", kCFStringEncodingUTF8);
    id c = newString(u"Vardolim");
    id d = newString(u"Vardoli");
    EXPECT_TRUE(msgSend<BOOL>(a, sel("isEqualToString:"), asObject(b)));
    EXPECT_TRUE(msgSend<BOOL>(asObject(b), sel("isEqualToString:"), a));
    EXPECT_TRUE(msgSend<BOOL>(a, sel("isEqualToString:"), a));
    EXPECT_FALSE(msgSend<BOOL>(a, sel("isEqualToString:"), c));
    EXPECT_FALSE(msgSend<BOOL>(a, sel("isEqualToString:"), d));
    EXPECT_FALSE(msgSend<BOOL>(a, sel("isEqualToString:"), id(nil)));
    objc_release(a);
    CFRelease(b);
    objc_release(c);
    objc_release(d);
}

TEST(NSString, ThePlaceholderMakesEmptyAndNewStrings)
{
    Class nsString = objc_getClass("NSString");
    id placeholder = msgSend<id>(nsString, sel("alloc"));
    EXPECT_EQ(msgSend<id>(nsString, sel("alloc")), placeholder) << "shared";
    id empty = msgSend<id>(placeholder, sel("init"));
    EXPECT_NE(empty, placeholder);
    EXPECT_EQ(msgSend<NSUInteger>(empty, sel("length")), 0u);
    EXPECT_STREQ(msgSend<const char*>(empty, sel("UTF8String")), "");
    objc_release(placeholder);  // ignored: the placeholder lives on
    objc_release(empty);
    id zeroLength = newString(u"");
    EXPECT_EQ(CFStringGetLength(asCF(zeroLength)), 0);
    objc_release(zeroLength);
}

using NSStringDeathTest = ::testing::Test;

TEST(NSStringDeathTest, AnIndexOutOfRangeIsReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    id string = newString(u"abc");
    EXPECT_DEATH((msgSend<unichar, NSUInteger>(string, sel("characterAtIndex:"), 3)),
                 "characterAtIndex:\\]: range \\{3, 1\\} out of bounds of a string of length 3");
    unichar buffer[4];
    EXPECT_DEATH((msgSend<void, unichar*, NSRange>(string, sel("getCharacters:range:"), buffer, NSMakeRange(2, 2))),
                 "getCharacters:range:\\]: range \\{2, 2\\} out of bounds");
    objc_release(string);
}

TEST(NSStringDeathTest, AnUnbridgedCFObjectHasNoClassToSendTo)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const SInt32 value = 5;
    CFNumberRef number = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
    EXPECT_EQ(object_getClass(static_cast<id>(const_cast<void*>(static_cast<const void*>(number)))), nullptr);
    EXPECT_DEATH(
        msgSend<NSUInteger>(static_cast<id>(const_cast<void*>(static_cast<const void*>(number))), sel("length")),
        "length sent to 0x[0-9a-f]+, which has no class");
    CFRelease(number);
}

}  // namespace
