// A bundle in a temporary folder with resource files in Contents/Resources/<type>/, and its
// CFBundleRef.
#pragma once

#include "StorageTestSupport.h"

#include <CoreFoundation/CoreFoundation.h>

#include <string>
#include <utility>
#include <vector>

namespace QV::GP::TEST {

class BundleTest : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        for (const auto& [file, bytes] : resources()) {
            const std::filesystem::path at = path("Tool.app/Contents/Resources") / file;
            std::filesystem::create_directories(at.parent_path());
            std::ofstream(at, std::ios::binary) << bytes;
        }
        const std::string folder = path("Tool.app").string();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(folder.data()),
                                                               static_cast<CFIndex>(folder.size()), true);
        ASSERT_NE(url, nullptr);
        m_bundle = CFBundleCreate(nullptr, url);
        CFRelease(url);
        ASSERT_NE(m_bundle, nullptr);
    }
    void TearDown() override
    {
        if (m_bundle)
            CFRelease(m_bundle);
        FolderTest::TearDown();
    }

    static std::vector<std::pair<std::string, std::string>> resources()
    {
        return {
            {"TTFd/128.ttf", "font bytes"},
            {"TTFd/5.bin", ""},
            {"PICT/logo.png", "png bytes"},
            {"PICT/sub/a.png", "sub picture"},
            {"STYL/FirmwareUpdaterStyles.txt", "Label { color: #fff; }"},
            {"BIGE/1", std::string("\x00\x00\x01\x02", 4)},
        };
    }

    void* bundle() const { return m_bundle; }

    CFBundleRef m_bundle = nullptr;
};

}  // namespace QV::GP::TEST
