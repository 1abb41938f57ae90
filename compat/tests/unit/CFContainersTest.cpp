#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

CFStringRef makeString(const char* text) { return CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8); }

TEST(CFNumber, NarrowReadsReportWhetherTheValueFits)
{
    struct Case {
        int64_t stored;
        CFNumberType readAs;
        bool fits;
        int64_t read;
    } cases[] = {
        {0x1300, kCFNumberSInt16Type, true, 0x1300},
        {0xFFFF, kCFNumberSInt16Type, false, -1},  // a USB id above 0x7FFF read as SInt16 wraps
        {-5, kCFNumberSInt32Type, true, -5},
        {int64_t{1} << 40, kCFNumberSInt32Type, false, 0},
        {int64_t{1} << 40, kCFNumberSInt64Type, true, int64_t{1} << 40},
    };
    for (const Case& c : cases) {
        CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt64Type, &c.stored);
        ASSERT_EQ(CFGetTypeID(number), CFNumberGetTypeID());
        int64_t wide = 0;
        Boolean ok = false;
        if (c.readAs == kCFNumberSInt16Type) {
            int16_t v = 0;
            ok = CFNumberGetValue(number, c.readAs, &v);
            wide = v;
        } else if (c.readAs == kCFNumberSInt32Type) {
            int32_t v = 0;
            ok = CFNumberGetValue(number, c.readAs, &v);
            wide = v;
        } else {
            ok = CFNumberGetValue(number, c.readAs, &wide);
        }
        EXPECT_EQ(static_cast<bool>(ok), c.fits) << c.stored;
        EXPECT_EQ(wide, c.read) << c.stored;
        CFRelease(number);
    }
}

TEST(CFDictionary, KeysCompareByValueAndValuesAreRetained)
{
    CFMutableDictionaryRef dictionary =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    CFStringRef key = makeString("VendorID");
    CFStringRef sameKey = makeString("VendorID");
    CFStringRef value = makeString("first");
    CFStringRef replacement = makeString("second");

    CFDictionarySetValue(dictionary, key, value);
    EXPECT_EQ(CFGetRetainCount(value), 2);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, sameKey), value);

    CFDictionarySetValue(dictionary, sameKey, replacement);  // replaces, does not add
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
    EXPECT_EQ(CFGetRetainCount(value), 1);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), replacement);

    CFStringRef missing = makeString("ProductID");
    EXPECT_EQ(CFDictionaryGetValue(dictionary, missing), nullptr);

    CFRelease(dictionary);
    EXPECT_EQ(CFGetRetainCount(replacement), 1);
    for (CFStringRef s : {key, sameKey, value, replacement, missing})
        CFRelease(s);
}

TEST(CFUUID, ConstantsAreInternedByValue)
{
    CFUUIDRef a = CFUUIDGetConstantUUIDWithBytes(nullptr, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    CFUUIDRef b = CFUUIDGetConstantUUIDWithBytes(nullptr, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    CFUUIDRef c = CFUUIDGetConstantUUIDWithBytes(nullptr, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_TRUE(CFUUIDBytesEqual(CFUUIDGetUUIDBytes(a), CFUUIDGetUUIDBytes(b)));
    EXPECT_FALSE(CFUUIDBytesEqual(CFUUIDGetUUIDBytes(a), CFUUIDGetUUIDBytes(c)));
}

}  // namespace
