// The bundle's Info.plist: values by key, the identifier, XML and binary files, and the files that
// give nothing.
#include <CoreFoundation/CoreFoundation.h>

#include <plist/plist.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

const char kInfo[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>CFBundleIdentifier</key><string>com.example.updater</string>
  <key>CFBundleName</key><string>Vardolin Studio Updater</string>
  <key>CFBundleShortVersionString</key><string>1.1.0,147</string>
  <key>CFBundleVersion</key><integer>147</integer>
  <key>LSArchitecturePriority</key><array><string>x86_64</string><true/><string>arm64</string></array>
  <key>NSHighResolutionCapable</key><true/>
  <key>Nested</key><dict><key>inner</key><string>value</string></dict>
</dict>
</plist>
)";

std::string utf8(CFTypeRef value)
{
    if (!value || CFGetTypeID(value) != CFStringGetTypeID())
        return "(not a string)";
    std::string text;
    auto string = static_cast<CFStringRef>(value);
    for (CFIndex i = 0; i < CFStringGetLength(string); ++i) {
        UniChar unit = 0;
        CFStringGetCharacters(string, CFRangeMake(i, 1), &unit);
        text += static_cast<char>(unit);
    }
    return text;
}

class InfoPlistTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qv-infoplist-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A bundle folder whose Info.plist (at `place` inside it) holds `bytes`.
    CFBundleRef bundleWith(const std::string& place, const std::string& bytes)
    {
        const fs::path folder = m_root / ("B" + std::to_string(++m_count) + ".app");
        fs::create_directories((folder / place).parent_path());
        std::ofstream(folder / place, std::ios::binary) << bytes;
        const std::string path = folder.string();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(
            kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()), static_cast<CFIndex>(path.size()), true);
        CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
        CFRelease(url);
        return bundle;
    }

    CFTypeRef value(CFBundleRef bundle, const char* key)
    {
        CFStringRef name = CFStringCreateWithCString(kCFAllocatorDefault, key, kCFStringEncodingUTF8);
        CFTypeRef found = CFBundleGetValueForInfoDictionaryKey(bundle, name);
        CFRelease(name);
        return found;
    }

    fs::path m_root;
    int m_count = 0;
};

TEST_F(InfoPlistTest, ValuesByKeyFromAnXmlInfoPlist)
{
    CFBundleRef bundle = bundleWith("Contents/Info.plist", kInfo);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(utf8(value(bundle, "CFBundleName")), "Vardolin Studio Updater");
    EXPECT_EQ(utf8(value(bundle, "CFBundleShortVersionString")), "1.1.0,147");
    EXPECT_EQ(utf8(CFBundleGetIdentifier(bundle)), "com.example.updater");

    CFTypeRef version = value(bundle, "CFBundleVersion");
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(CFGetTypeID(version), CFNumberGetTypeID());
    int64_t number = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(version), kCFNumberSInt64Type, &number));
    EXPECT_EQ(number, 147);

    // Booleans have no stand-in type: absent, also inside an array.
    EXPECT_EQ(value(bundle, "NSHighResolutionCapable"), nullptr);
    CFTypeRef array = value(bundle, "LSArchitecturePriority");
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(CFGetTypeID(array), CFArrayGetTypeID());
    ASSERT_EQ(CFArrayGetCount(static_cast<CFArrayRef>(array)), 2);
    EXPECT_EQ(utf8(CFArrayGetValueAtIndex(static_cast<CFArrayRef>(array), 1)), "arm64");

    CFTypeRef nested = value(bundle, "Nested");
    ASSERT_NE(nested, nullptr);
    CFStringRef inner = CFStringCreateWithCString(kCFAllocatorDefault, "inner", kCFStringEncodingUTF8);
    EXPECT_EQ(utf8(CFDictionaryGetValue(static_cast<CFDictionaryRef>(nested), inner)), "value");
    CFRelease(inner);

    EXPECT_EQ(value(bundle, "NoSuchKey"), nullptr);
    EXPECT_EQ(CFBundleGetValueForInfoDictionaryKey(bundle, nullptr), nullptr);
    EXPECT_EQ(value(nullptr, "CFBundleName"), nullptr);
    CFRelease(bundle);
}

TEST_F(InfoPlistTest, ABinaryInfoPlistBesideTheBundleFolder)
{
    plist_t root = plist_new_dict();
    plist_dict_set_item(root, "CFBundleIdentifier", plist_new_string("com.example.binary"));
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    CFBundleRef bundle = bundleWith("Info.plist", std::string(bytes, length));
    free(bytes);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(utf8(CFBundleGetIdentifier(bundle)), "com.example.binary");
    CFRelease(bundle);
}

TEST_F(InfoPlistTest, MissingOrBrokenFilesAnswerNothing)
{
    struct tCase {
        const char* place;
        std::string bytes;
    };
    const tCase cases[] = {
        {"Contents/Other.plist", kInfo},                                 // no Info.plist
        {"Contents/Info.plist", "not a property list"},                  // unreadable
        {"Contents/Info.plist", std::string(kInfo, sizeof kInfo / 2)},   // cut short
        {"Contents/Info.plist", "<plist><string>top</string></plist>"},  // not a dictionary
        {"Contents/Info.plist", "<plist><dict><key>CFBundleIdentifier</key><integer>5</integer></dict></plist>"},
    };
    for (const tCase& c : cases) {
        CFBundleRef bundle = bundleWith(c.place, c.bytes);
        ASSERT_NE(bundle, nullptr);
        EXPECT_EQ(value(bundle, "CFBundleName"), nullptr) << c.bytes;
        EXPECT_EQ(CFBundleGetIdentifier(bundle), nullptr) << c.bytes;
        CFRelease(bundle);
    }
}

}  // namespace
