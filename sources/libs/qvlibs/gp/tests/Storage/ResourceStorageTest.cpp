#include "GP/ResourceStorage.h"

#include "BundleFixture.h"

namespace QV::GP::TEST {
namespace {

using ResourceStorageTest = BundleTest;

TEST_F(ResourceStorageTest, ServesBundleResourcesByIdAndByName)
{
    struct Case {
        unsigned id;  // used when name is null
        const char* name;
        const char* type;
        std::string bytes;
    } cases[] = {
        {128, nullptr, "TTFd", "font bytes"},
        {0, "logo.png", "PICTURE", "png bytes"},
        {0, "sub/a.png", "PICTURE", "sub picture"},
        {0, "FirmwareUpdaterStyles.txt", "STYLESHEET", "Label { color: #fff; }"},
        {0, "128", "TTFd", "font bytes"},
    };
    for (const Case& c : cases) {
        const std::string what = c.name ? c.name : std::to_string(c.id);
        ResourceStorage storage;
        ASSERT_TRUE(c.name ? storage.init(bundle(), c.name, c.type) : storage.init(bundle(), c.id, c.type)) << what;
        EXPECT_TRUE(storage.isOpen()) << what;
        EXPECT_EQ(storage.getAccessMode(), IStorage::eAccessRead) << what;
        EXPECT_EQ(storage.size(), c.bytes.size()) << what;
        std::string got(c.bytes.size(), '\0');
        EXPECT_EQ(storage.read(got.data(), got.size()), got.size()) << what;
        EXPECT_EQ(got, c.bytes) << what;
        EXPECT_EQ(storage.getStatus(), IStorage::eStatusEnd) << what;
        storage.seek64(1, IStorage::eSeekFromStart);
        EXPECT_EQ(storage.getPos64(), 1) << what;
        EXPECT_EQ(storage.write("x", 1), 0u) << "read-only: " << what;
    }
}

TEST_F(ResourceStorageTest, WhatNobodyHasIsReportedAndLeavesTheStorageClosed)
{
    struct Case {
        bool withBundle;
        unsigned id;
        const char* name;
        const char* type;
        const char* message;
    } cases[] = {
        {true, 129, nullptr, "TTFd", "cannot resolve resource: TTFd 129\n"},
        {false, 128, nullptr, "TTFd", "cannot resolve resource: TTFd 128\n"},
        {true, 5, nullptr, "TTFd", "cannot resolve resource: TTFd 5\n"},                // a resource without data
        {true, 128, nullptr, "TTF", "cannot resolve resource: TTF 128\n"},              // no four-character type
        {true, 65536 + 128, nullptr, "TTFd", "cannot resolve resource: TTFd 65664\n"},  // not a 16-bit id
        {true, 0, "nothing.png", "PICTURE", "cannot resolve resource: nothing.png\n"},
        {true, 0, "../TTFd/128.ttf", "PICTURE", "cannot resolve resource: ../TTFd/128.ttf\n"},
        {true, 0, "logo.png", "TTFd", "cannot resolve resource: logo.png\n"},
    };
    for (const Case& c : cases) {
        ResourceStorage storage;
        testing::internal::CaptureStderr();
        const bool found = c.name ? storage.init(c.withBundle ? bundle() : nullptr, c.name, c.type)
                                  : storage.init(c.withBundle ? bundle() : nullptr, c.id, c.type);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
        EXPECT_FALSE(found) << c.message;
        EXPECT_FALSE(storage.isOpen()) << c.message;
        EXPECT_EQ(storage.getStatus(), IStorage::eStatusClosed) << c.message;
    }
}

TEST_F(ResourceStorageTest, SharedBytesHoldTheResourceAfterTheStorageLetsItGo)
{
    tSharedBytes font;
    {
        ResourceStorage storage;
        ASSERT_TRUE(storage.init(bundle(), 128u, "TTFd"));
        font = storage.shareAll();
        ASSERT_TRUE(storage.init(bundle(), "logo.png", "PICT"));
        const tSharedBytes logo = storage.shareAll();
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(logo.data.get()), logo.size), "png bytes");
    }
    ASSERT_FALSE(font.empty());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(font.data.get()), font.size), "font bytes");
    EXPECT_TRUE(ResourceStorage().shareAll().empty()) << "a closed storage has nothing";
}

TEST_F(ResourceStorageTest, ASecondInitReplacesTheFirstResource)
{
    ResourceStorage storage;
    ASSERT_TRUE(storage.init(bundle(), 128u, "TTFd"));
    ASSERT_TRUE(storage.init(bundle(), "logo.png", "PICT"));
    char out[16] = {};
    EXPECT_EQ(storage.read(out, sizeof out), 9u);
    EXPECT_EQ(std::string(out, 9), "png bytes");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(storage.init(bundle(), 999u, "TTFd"));
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(storage.isOpen()) << "the earlier resource is gone too";
}

}  // namespace
}  // namespace QV::GP::TEST
