#include <CoreServices/CoreServices.h>

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr ResType fourCC(const char (&code)[5])
{
    return static_cast<ResType>(static_cast<unsigned char>(code[0])) << 24 |
           static_cast<ResType>(static_cast<unsigned char>(code[1])) << 16 |
           static_cast<ResType>(static_cast<unsigned char>(code[2])) << 8 | static_cast<unsigned char>(code[3]);
}

std::string bytesOf(Handle handle) { return handle && *handle ? std::string(*handle, GetHandleSize(handle)) : ""; }

// Bundles in a temporary folder, each with files under Contents/Resources.
class ResourcesTest : public testing::Test {
protected:
    CFBundleRef makeBundle(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files)
    {
        const fs::path root = m_folder.path() / folder;
        fs::create_directories(root / "Contents");
        for (const auto& [file, bytes] : files) {
            const fs::path at = root / "Contents" / "Resources" / file;
            fs::create_directories(at.parent_path());
            std::ofstream(at, std::ios::binary) << bytes;
        }
        const std::string text = root.string();
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(text.data()),
                                                               static_cast<CFIndex>(text.size()), true);
        CFBundleRef bundle = CFBundleCreate(nullptr, url);
        CFRelease(url);
        m_bundles.push_back(bundle);
        return bundle;
    }
    void TearDown() override
    {
        for (CFBundleRef bundle : m_bundles)
            if (bundle)
                CFRelease(bundle);
    }

    QV::TEST::TemporaryFolder m_folder{"qv-resources"};
    std::vector<CFBundleRef> m_bundles;
};

TEST_F(ResourcesTest, FindsEachResourceByItsFile)
{
    CFBundleRef bundle = makeBundle("App.app", {
                                                   {"TTFd/128.ttf", "font"},
                                                   {"TTFd/7", "exact"},
                                                   {"TTFd/7.bin", "with an extension"},
                                                   {"TTFd/9.b", "second"},
                                                   {"TTFd/9.a", "first"},
                                                   {"TTFd/-5.ttf", "negative"},
                                                   {"TTFd/12.5.ttf", "two dots"},
                                                   {"TTFd/40.x/inside", "a folder"},
                                                   {"PICT/logo.png", "png"},
                                                   {"PICT/sub/a.png", "nested"},
                                                   {"PIC /x", "with a blank"},
                                               });
    const CFBundleRefNum map = CFBundleOpenBundleResourceMap(bundle);
    ASSERT_NE(map, -1);

    struct ById {
        ResType type;
        ResID id;
        const char* bytes;  // null: not found
    } byId[] = {
        {fourCC("TTFd"), 128, "font"},    {fourCC("TTFd"), 7, "exact"},   {fourCC("TTFd"), 9, "first"},
        {fourCC("TTFd"), -5, "negative"}, {fourCC("TTFd"), 12, nullptr},  {fourCC("TTFd"), 40, nullptr},
        {fourCC("TTFd"), 129, nullptr},   {fourCC("PICT"), 128, nullptr},
    };
    for (const ById& c : byId) {
        Handle handle = Get1Resource(c.type, c.id);
        EXPECT_EQ(handle != nullptr, c.bytes != nullptr) << c.id;
        EXPECT_EQ(ResError(), c.bytes ? noErr : resNotFound) << c.id;
        if (c.bytes) {
            EXPECT_EQ(bytesOf(handle), c.bytes) << c.id;
        }
    }

    struct ByName {
        ResType type;
        std::string name;
        const char* bytes;
    } byName[] = {
        {fourCC("PICT"), "logo.png", "png"},
        {fourCC("PICT"), "logo", "png"},
        {fourCC("PICT"), "sub/a.png", "nested"},
        {fourCC("PIC "), "x", "with a blank"},
        {fourCC("PICT"), "../TTFd/128.ttf", nullptr},
        {fourCC("PICT"), "sub//a.png", nullptr},
        {fourCC("PICT"), "./logo.png", nullptr},
        {fourCC("PICT"), "/logo.png", nullptr},
        {fourCC("PICT"), "sub", nullptr},
        {fourCC("PICT"), "", nullptr},
        {0x50494301, "x", nullptr},  // a control character in the type
        {fourCC("PIC/"), "x", nullptr},
    };
    for (const ByName& c : byName) {
        Str255 pascal = {static_cast<unsigned char>(c.name.size())};
        std::copy(c.name.begin(), c.name.end(), pascal + 1);
        Handle handle = Get1NamedResource(c.type, pascal);
        EXPECT_EQ(handle != nullptr, c.bytes != nullptr) << c.name;
        if (c.bytes) {
            EXPECT_EQ(bytesOf(handle), c.bytes) << c.name;
        }
    }
    CloseResFile(map);
}

TEST_F(ResourcesTest, AttachedHandlesBelongToTheMapDetachedOnesToTheCaller)
{
    CFBundleRef bundle = makeBundle("App.app", {{"TTFd/128.ttf", "font"}, {"TTFd/3", ""}});
    const CFBundleRefNum map = CFBundleOpenBundleResourceMap(bundle);
    ASSERT_NE(map, -1);
    Handle first = Get1Resource(fourCC("TTFd"), 128);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Get1Resource(fourCC("TTFd"), 128), first) << "the same resource, the same handle";
    const unsigned char name[] = "\x07"
                                 "128.ttf";
    EXPECT_EQ(Get1NamedResource(fourCC("TTFd"), name), first) << "by name too";

    DetachResource(first);
    EXPECT_EQ(ResError(), noErr);
    Handle second = Get1Resource(fourCC("TTFd"), 128);
    EXPECT_NE(second, first) << "a detached handle is no longer the map's";
    DetachResource(first);
    EXPECT_EQ(ResError(), resNotFound);

    Handle empty = Get1Resource(fourCC("TTFd"), 3);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(*empty, nullptr) << "an empty file is a resource without data";
    EXPECT_EQ(GetHandleSize(empty), 0);

    Handle disposed = second;
    DisposeHandle(disposed);  // taken off the map: closing it must not free it again
    CloseResFile(map);
    HLock(first);
    EXPECT_EQ(bytesOf(first), "font") << "the detached handle outlives the map";
    HUnlock(first);
    DisposeHandle(first);
}

TEST_F(ResourcesTest, AHandleOfAFileIsItsOwnCopy)
{
    // The block maps its file: writes to the handle must stay in it, and the file as it was.
    const std::string big(300 * 1024, 'b');
    CFBundleRef bundle = makeBundle("App.app", {{"TTFd/1", big}, {"TTFd/2", "small"}});
    const CFBundleRefNum map = CFBundleOpenBundleResourceMap(bundle);
    ASSERT_NE(map, -1);
    for (const ResID id : {ResID(1), ResID(2)}) {
        Handle handle = Get1Resource(fourCC("TTFd"), id);
        ASSERT_NE(handle, nullptr);
        DetachResource(handle);
        const std::string before = bytesOf(handle);
        EXPECT_EQ(before, id == 1 ? big : "small");
        (*handle)[0] = 'X';
        (*handle)[GetHandleSize(handle) - 1] = 'Y';
        Handle again = Get1Resource(fourCC("TTFd"), id);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(bytesOf(again), before) << "the file is unchanged";
        EXPECT_EQ(bytesOf(handle), "X" + before.substr(1, before.size() - 2) + "Y");
        DisposeHandle(handle);
    }
    CloseResFile(map);
}

TEST_F(ResourcesTest, TheLastOpenedMapIsCurrentUntilItCloses)
{
    CFBundleRef a = makeBundle("A.app", {{"TTFd/1", "from A"}});
    CFBundleRef b = makeBundle("B.app", {{"TTFd/1", "from B"}});
    const CFBundleRefNum mapA = CFBundleOpenBundleResourceMap(a);
    const CFBundleRefNum mapB = CFBundleOpenBundleResourceMap(b);
    ASSERT_NE(mapA, -1);
    ASSERT_NE(mapB, -1);
    EXPECT_NE(mapA, mapB);
    EXPECT_EQ(bytesOf(Get1Resource(fourCC("TTFd"), 1)), "from B");
    CFBundleCloseBundleResourceMap(b, mapB);
    EXPECT_EQ(bytesOf(Get1Resource(fourCC("TTFd"), 1)), "from A");
    CloseResFile(mapA);
    EXPECT_EQ(Get1Resource(fourCC("TTFd"), 1), nullptr) << "no map is current";
    EXPECT_EQ(ResError(), resNotFound);
    CloseResFile(mapA);
    EXPECT_EQ(ResError(), resFNotFound);
}

TEST_F(ResourcesTest, ABundleWithoutResourcesHasNoMap)
{
    EXPECT_EQ(CFBundleOpenBundleResourceMap(nullptr), -1);
    EXPECT_EQ(ResError(), resFNotFound);
    CFBundleRef bare = makeBundle("Bare.app", {});
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(CFBundleOpenBundleResourceMap(bare), -1);
    EXPECT_EQ(ResError(), resFNotFound);
}

}  // namespace
