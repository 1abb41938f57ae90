#include "GP/FileName.h"

#include "GP/VolumeTable.h"
#include "VolumeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace QV::GP::TEST {
namespace {

namespace fs = std::filesystem;
using DETAIL::FixedVolumeTable;
using DETAIL::VolumeTable;

// Installs a table of mount points that need not exist, for the length of a test.
class PosixPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_previous = VolumeTable::install(std::make_shared<FixedVolumeTable>(
            std::vector<std::string>{"/media/me/STICK", "/media/me/STICK/inner", "/mnt/Linux", "/net/srv:share",
                                     "/media/me/K\xC3\xA4"
                                     "se"}));
    }
    void TearDown() override
    {
        VolumeTable::install(m_previous);
        FileTypeManager::deInit();
    }
    std::shared_ptr<const VolumeTable> m_previous;
};

TEST_F(PosixPaths, PosixToColonNamesTheVolumeAndKeepsBytes)
{
    struct Case {
        std::string posix;
        std::string colon;
    } cases[] = {
        {"/", "Linux"},
        {"/home/me/notes.txt", "Linux:home:me:notes.txt"},
        {"/home/me/", "Linux:home:me"},
        {"//home///me/./notes.txt", "Linux:home:me:notes.txt"},
        {"/media/me/STICK", "STICK"},
        {"/media/me/STICK/", "STICK"},
        {"/media/me/STICK/dir/f.wav", "STICK:dir:f.wav"},
        {"/media/me/STICK/inner/x", "inner:x"},             // the longest mount point wins
        {"/media/me/STICKY/x", "Linux:media:me:STICKY:x"},  // whole components only
        {"/media/me/stick/x", "Linux:media:me:stick:x"},    // mount points are case-sensitive
        {"/mnt/Linux/f", "Linux 2:f"},
        {"/net/srv:share/a", "srv/share:a"},
        {"/home/a:b/c:d", "Linux:home:a/b:c/d"},  // POSIX ':' is '/' in the colon style
        {"/media/me/K\xC3\xA4"
         "se/\xC3\xBC ber.txt",
         "K\xC3\xA4"
         "se:\xC3\xBC ber.txt"},
        {"/home/e\xCC\x81t\xC3\xA9", "Linux:home:e\xCC\x81t\xC3\xA9"},  // decomposed stays decomposed
        {"/home/\xFF\xFEx", "Linux:home:\xFF\xFEx"},                    // not UTF-8: bytes kept
        {"/home/me/../x", "Linux:home:me::x"},
        {"/home/..", "Linux:home::"},
        {"/..", "Linux::"},
        {"sub/notes.txt", ":sub:notes.txt"},
        {"notes.txt", ":notes.txt"},
        {"../x", "::x"},
        {"..", "::"},
        {".", ":"},
        {"", ""},
        {std::string("/home/a\0b", 9), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.posix);
        EXPECT_EQ(FileName::POSIX2HFSPath(c.posix), c.colon);
    }
    EXPECT_EQ(FileName::POSIX2HFSPath(reinterpret_cast<const unsigned char*>("/media/me/STICK/a")), "STICK:a");
    EXPECT_EQ(FileName::POSIX2HFSPath(static_cast<const unsigned char*>(nullptr)), "");
}

TEST_F(PosixPaths, ColonToPosixFindsTheMountPoint)
{
    struct Case {
        const char* colon;
        const char* posix;  // "" when the name has no POSIX path
    } cases[] = {
        {"Linux:home:me:notes.txt", "/home/me/notes.txt"},
        {"linux:home:me:", "/home/me"},  // volume names ignore letter case
        {"Linux:", "/"},
        {"Linux", "/"},
        {"STICK:dir:f.wav", "/media/me/STICK/dir/f.wav"},
        {"stick:dir:", "/media/me/STICK/dir"},
        {"STICK", "/media/me/STICK"},
        {"Linux 2:f", "/mnt/Linux/f"},
        {"srv/share:a/b", "/net/srv:share/a:b"},
        {"K\xC3\x84"
         "SE:f",
         "/media/me/K\xC3\xA4"
         "se/f"},
        {"Linux:home:me::x", "/home/me/../x"},
        {"Linux:a:::b", "/a/../../b"},
        {"STICK:pack.cnt<item", "/media/me/STICK/pack.cnt"},  // the container file itself
        {":sub:notes.txt", "sub/notes.txt"},
        {"::x", "../x"},
        {"notes.txt", "notes.txt"},
        {"Disk:Users:me:notes.txt", ""},  // not mounted: no path, rather than a guess
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colon);
        const FileName name{std::string(c.colon)};
        EXPECT_EQ(name.getSystemPath(false, true), c.posix);
        EXPECT_EQ(name.getFilesystemPath(), c.posix);
    }
}

// A NUL byte would cut the path short at the system call and name another file.
TEST_F(PosixPaths, TextWithNulHasNoPosixPath)
{
    const FileName name{std::string("Linux:tmp:a\0b", 14)};
    EXPECT_EQ(name.getSystemPath(false, true), "");
}

TEST_F(PosixPaths, DisplayFormDropsInvalidUtf8OnlyThere)
{
    const FileName name{std::string("Linux:tmp:\xFFok.txt")};
    EXPECT_EQ(name.getSystemPath(false, true), "/tmp/\xFFok.txt");
    EXPECT_EQ(name.getSystemPath(false, false), "/tmp/ok.txt");
}

TEST_F(PosixPaths, PosixPathToNameAndBackIsTheSamePath)
{
    const char* paths[] = {
        "/home/me/notes.txt",
        "/media/me/STICK/My Notes.txt",
        "/media/me/STICK/inner/a:b",
        "/net/srv:share/x y/z",
        "/home/e\xCC\x81t\xC3\xA9.wav",
        "/home/\xFF\xFE",
        "/home/me/../other/f.txt",
        "/mnt/Linux/Linux",
        "/home/%20#?.txt",
    };
    for (const char* path : paths) {
        SCOPED_TRACE(path);
        const FileName name{fs::path(path)};
        EXPECT_EQ(name.getSystemPath(false, true), path);
    }
}

TEST_F(PosixPaths, PathConstructorKeepsTheFolderMark)
{
    const FileName folder{fs::path("/nonexistent-qv/dir/")};
    EXPECT_EQ(folder.getFull(), "Linux:nonexistent-qv:dir:");
    EXPECT_EQ(folder.getMode(), FileName::eModeFolder);
    const FileName file{fs::path("/nonexistent-qv/dir")};
    EXPECT_EQ(file.getFull(), "Linux:nonexistent-qv:dir");
    EXPECT_EQ(file.getMode(), FileName::eModeFile);
    const FileName volume{fs::path("/media/me/STICK")};
    EXPECT_EQ(volume.getFull(), "STICK");
    EXPECT_EQ(volume.getMode(), FileName::eModeVolume);
    const FileName relativeFolder{fs::path("sub/")};
    EXPECT_EQ(relativeFolder.getFull(), ":sub:");
    EXPECT_EQ(relativeFolder.getMode(), FileName::eModeFolder);
    EXPECT_TRUE(FileName{fs::path()}.empty());
}

TEST(VolumeNames, NamedByLastComponentUniqueIgnoringCase)
{
    const std::vector<DETAIL::tMountedVolume> volumes = DETAIL::nameVolumes({
        "/media/a/STICK",
        "/media/b/stick",  // taken, letter case ignored
        "/media/c/STICK",
        "/mnt/Linux",       // the root's name is taken first
        "/media/a/STICK/",  // the same mount point again
        "/",                // the root is always first anyway
        "relative/mount",   // not absolute
        "/x/../y",          // not canonical
        std::string("/a\0b", 4), "/srv/a:b",
        "/srv/stick 2",  // the name a duplicate would get: then the duplicate moves on
    });
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Linux", "/"},
        {"STICK", "/media/a/STICK"},
        {"stick 2", "/media/b/stick"},
        {"STICK 3", "/media/c/STICK"},
        {"Linux 2", "/mnt/Linux"},
        {"a/b", "/srv/a:b"},
        {"stick 2 2", "/srv/stick 2"},
    };
    ASSERT_EQ(volumes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(volumes[i].name, expected[i].first);
        EXPECT_EQ(volumes[i].mountPoint, expected[i].second);
    }
}

TEST(VolumeNames, DefaultTableKnowsOnlyTheRoot)
{
    const std::shared_ptr<const VolumeTable> previous = VolumeTable::install(nullptr);
    const auto volumes = VolumeTable::current()->volumes();
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].name, DETAIL::kRootVolumeName);
    EXPECT_EQ(volumes[0].mountPoint, "/");
    EXPECT_EQ(FileName::POSIX2HFSPath(std::string("/media/me/STICK/a")), "Linux:media:me:STICK:a");

    const auto mine = std::make_shared<FixedVolumeTable>(std::vector<std::string>{"/media/me/STICK"});
    VolumeTable::install(mine);
    EXPECT_EQ(VolumeTable::current(), mine);
    EXPECT_EQ(FileName::POSIX2HFSPath(std::string("/media/me/STICK/a")), "STICK:a");
    EXPECT_EQ(VolumeTable::install(previous), mine);
}

}  // namespace
}  // namespace QV::GP::TEST
