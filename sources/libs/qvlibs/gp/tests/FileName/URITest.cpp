#include "GP/URI.h"

#include "GP/FileName.h"
#include "VolumeFixture.h"

#include <CoreFoundation/CoreFoundation.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace QV::GP::TEST {
namespace {

namespace fs = std::filesystem;
using FileURIs = VolumeFixture;

TEST_F(FileURIs, FileNameToUrlEscapesEveryUnsafeByte)
{
    struct Case {
        const char* colon;
        const char* url;
    } cases[] = {
        {"Linux:home:me:notes.txt", "file:///home/me/notes.txt"},
        {"Linux:home:me:My Notes.txt", "file:///home/me/My%20Notes.txt"},
        {"Linux:home:a/b:c.txt", "file:///home/a:b/c.txt"},
        {"Linux:home:caf\xC3\xA9 \xE2\x9C\x93", "file:///home/caf%C3%A9%20%E2%9C%93"},
        {"Linux:home:%41#?[]", "file:///home/%2541%23%3F%5B%5D"},
        {"Linux:home:\xFF", "file:///home/%FF"},
        {"Linux:home:", "file:///home/"},  // a folder
        {"Linux:", "file:///"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colon);
        const URI uri{FileName(std::string(c.colon))};
        EXPECT_EQ(uri.get(), c.url);
    }
}

TEST_F(FileURIs, NamesWithoutAbsolutePathGiveNoUrl)
{
    for (const char* colon : {"", "notes.txt", ":sub:notes.txt", "Disk:Users:me:notes.txt"}) {
        SCOPED_TRACE(colon);
        URI uri;
        ASSERT_TRUE(uri.createCanonicalLocation("file:///previous"));
        uri.createFileLocation(FileName(std::string(colon)));
        EXPECT_TRUE(uri.empty());
        std::string text = "unchanged";
        EXPECT_FALSE(uri.getFileNameString(text));
        EXPECT_EQ(text, "unchanged");
    }
}

TEST_F(FileURIs, UrlToFileName)
{
    struct Case {
        const char* url;
        bool ok;
        const char* colon;
    } cases[] = {
        {"file:///home/me/My%20Notes.txt", true, "Linux:home:me:My Notes.txt"},
        {"file://localhost/home/x", true, "Linux:home:x"},
        {"file://LOCALHOST/home/x", true, "Linux:home:x"},
        {"file:/home/x", true, "Linux:home:x"},
        {"FILE:///home/x", true, "Linux:home:x"},
        {"file:///home/dir/", true, "Linux:home:dir:"},
        {"file:///", true, "Linux:"},
        {"file:///home/a:b/c%3Ad", true, "Linux:home:a/b:c/d"},
        {"file:///home/caf%C3%A9%CC%81", true, "Linux:home:caf\xC3\xA9\xCC\x81"},  // no normalisation
        {"file:///home/%ff%FE", true, "Linux:home:\xFF\xFE"},
        {"file:///home/x?query#frag", true, "Linux:home:x"},
        {"file://server/share/x", false, ""},
        {"http://example.com/x", false, ""},
        {"file:///home/a%00b", false, ""},  // would name /home/a
        {"file:relative/x", false, ""},
        {"file://", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        URI uri;
        ASSERT_TRUE(uri.createCanonicalLocation(c.url));
        std::string text;
        EXPECT_EQ(uri.getFileNameString(text), c.ok);
        if (c.ok) {
            EXPECT_EQ(text, c.colon);
        }
        FileName name{std::string("Disk:old")};
        EXPECT_EQ(uri.getFileName(name), c.ok);
        EXPECT_EQ(name.getFull(), c.ok ? std::string(c.colon) : std::string("Disk:old"));
    }
}

TEST_F(FileURIs, CanonicalLocationRefusesMalformedUrls)
{
    URI uri;
    EXPECT_TRUE(uri.createCanonicalLocation("HTTP://Example.com/a%20b"));
    EXPECT_EQ(uri.get(), "http://Example.com/a%20b");
    for (const char* bad : {"", "no scheme", "/abs/path", "1http://x", ":x", "http://a b", "http://x/%zz",
                            "http://x/%4", "http://x/\xC3\xA9", "file:///a\"b"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(uri.createCanonicalLocation(bad));
        EXPECT_TRUE(uri.empty());
        EXPECT_EQ(uri.get(), "");
    }
    EXPECT_FALSE(uri.createCanonicalLocation(CharSequence<char>("file:///a\0b", 11)));
}

TEST_F(FileURIs, ExistingFilesRoundTripThroughUrls)
{
    for (const char* leaf : {"My Notes.txt", "cafe\xCC\x81 100%.wav", "a:b#c?.txt", "\xFF.bin"}) {
        SCOPED_TRACE(leaf);
        const std::string path = makeFile(std::string("sub dir/") + leaf);
        const FileName name{fs::path(path)};
        const URI uri{name};
        ASSERT_FALSE(uri.empty());
        FileName back;
        ASSERT_TRUE(uri.getFileName(back));
        EXPECT_EQ(back.getFull(), name.getFull());
        EXPECT_EQ(back.getFilesystemPath(), path);
        EXPECT_EQ(back.getMode(), FileName::eModeFile);
    }
    const FileName folder{fs::path(m_volume / "sub dir")};
    ASSERT_EQ(folder.getMode(), FileName::eModeFolder);
    const URI folderUri{folder};
    EXPECT_EQ(folderUri.get().back(), '/');
    FileName back;
    ASSERT_TRUE(folderUri.getFileName(back));
    EXPECT_EQ(back.getFull(), "VOL:sub dir:");
}

TEST_F(FileURIs, FromPlatformUrl)
{
    const std::string path = makeFile("x y.txt");
    CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(path.data()),
                                                           static_cast<CFIndex>(path.size()), false);
    ASSERT_NE(url, nullptr);
    const URI uri{url};
    CFRelease(url);
    FileName name;
    ASSERT_TRUE(uri.getFileName(name));
    EXPECT_EQ(name.getFull(), "VOL:x y.txt");

    const CFURLRef none = nullptr;
    EXPECT_TRUE(URI{none}.empty());
}

}  // namespace
}  // namespace QV::GP::TEST
