#include "GP/FileName.h"
#include "GP/StringCropper.h"
#include "Cropper/SymbolicFolders.h"

#include "Measures.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using QV::GP::FileName;
using QV::GP::StringCropper;
using QV::TEST::perCharacter;

const char* const kEllipsis = "\xE2\x80\xA6";  // …

std::string crop(int type, const std::string& text, int maxWidth, const std::string& pad = kEllipsis)
{
    StringCropper cropper;
    cropper.setCropType(type);
    cropper.setPad(pad);
    const QV::TEST::tMeasure m = perCharacter();
    return cropper.cropString(text, maxWidth, m.width, m.fitting);
}

TEST(FileNameCrop, MiddleFoldersGiveWayToThePad)
{
    const std::string path = "Disk:Users:me:Projects:2024:plan.txt";  // 36 characters
    struct Case {
        int type;
        std::string text;
        int maxWidth;
        std::string expected;
    } cases[] = {
        {3, path, 36, path},
        {3, path, 25, "Disk:\xE2\x80\xA6:plan.txt"},             // 15 wide: within 10 of the space
        {3, path, 27, "Disk:\xE2\x80\xA6:2024:plan.txt"},        // the tail takes a folder first
        {3, path, 34, "Disk:Users:\xE2\x80\xA6:2024:plan.txt"},  // then the head
        {3, path, 12, ":plan.txt"},                              // too narrow for head and tail
        {3, path, 8, "\xE2\x80\xA6lan.txt"},
        {3, "Disk:averyveryverylongname.txt", 10, "\xE2\x80\xA6gname.txt"},  // one separator: from the start
        {5, "Disk:Users:me:Projects:", 15, "Disk:\xE2\x80\xA6:Projects"},    // a folder: its ':' dropped
        {5, "Disk:Users:me:Projects:", 22, "Disk:Users:me:Projects"},
        {3, "Disk:Users:me:Projects:", 15, ":Projects:"},  // as a file path the last folder is the tail
        {5, ":", 3, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(crop(c.type, c.text, c.maxWidth), c.expected) << c.type << " " << c.text << " in " << c.maxWidth;
    // A pad wider than the space: cut from the start without it.
    EXPECT_EQ(crop(3, path, 5, "........"), "n.txt");
}

TEST(FileNameCrop, SymbolicFoldersMatchWholeFoldersLongestFirst)
{
    const std::map<std::string, std::string> folders = {
        {"Linux:home:me", "[me]"},
        {"Linux:home:me:Documents", "[Documents]"},
        {"Linux:usr:local:share", "[share]"},
    };
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"Linux:home:me:Documents:Projects:plan.txt", "[Documents]:Projects:plan.txt"},
        {"Linux:home:me:Documents", "[Documents]"},
        {"Linux:home:me:Documentsx:a", "[me]:Documentsx:a"},
        {"Linux:home:me:notes.txt", "[me]:notes.txt"},
        {"Linux:home:meadow:notes.txt", "Linux:home:meadow:notes.txt"},  // not the folder "me"
        {"Linux:home", "Linux:home"},
        {"linux:home:me:x", "linux:home:me:x"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QV::GP::DETAIL::withSymbolicFolder(c.text, folders), c.expected) << c.text;
}

TEST(FileNameCrop, AFolderAliasIsItsLastElementInBrackets)
{
    StringCropper::s_mapSymbolicFolders.erase("Linux:srv:qv-cropper-test:Papers");
    StringCropper::addAlias(FileName(std::string("Linux:srv:qv-cropper-test:Papers:")));
    EXPECT_EQ(StringCropper::s_mapSymbolicFolders["Linux:srv:qv-cropper-test:Papers"], "[Papers]");
    const size_t before = StringCropper::s_mapSymbolicFolders.size();
    StringCropper::addAlias(FileName(std::string("Linux:srv:qv-cropper-test:Papers:")));  // the same folder again
    StringCropper::addAlias(FileName(std::string("Linux:")));                             // a volume alone
    EXPECT_EQ(StringCropper::s_mapSymbolicFolders.size(), before);

    // A path inside it shows the alias, then loses middle folders to the pad.
    const std::string path = "Linux:srv:qv-cropper-test:Papers:2024:drafts:plan.txt";
    EXPECT_EQ(crop(4, path, 100), "[Papers]:2024:drafts:plan.txt");
    EXPECT_EQ(crop(4, path, 20), "[Papers]:\xE2\x80\xA6:plan.txt");
    EXPECT_EQ(crop(6, "Linux:srv:qv-cropper-test:Papers:", 100), "[Papers]");
    EXPECT_EQ(crop(3, path, 100), path);  // types 3 and 5 use no aliases
    StringCropper::s_mapSymbolicFolders.erase("Linux:srv:qv-cropper-test:Papers");
}

// The standard folders, found in a home folder of the test's making. Run in a fresh process, since
// the folders are looked up once per process.
TEST(FileNameCropDeathTest, TheStandardFoldersGetAliases)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QV::TEST::TemporaryFolder folder("qv-cropper-home");
    ASSERT_FALSE(folder.path().empty());
    const fs::path home = folder.path() / "tester";
    for (const char* name : {"Documents", "Music", "Bilder"})
        fs::create_directories(home / name);
    fs::create_directories(folder.path() / "config");
    std::ofstream(folder.path() / "config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    fs::create_directories(folder.path() / "data");

    auto child = [&] {
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder.path() / "config").c_str(), 1);
        setenv("XDG_DATA_DIRS", (folder.path() / "data").c_str(), 1);
        StringCropper::initFileNameAliasMap();
        const std::string root = FileName::POSIX2HFSPath(folder.path().string());
        const std::map<std::string, std::string> expected = {
            {root + ":tester", "[tester]"},      {root + ":tester:Documents", "[Documents]"},
            {root + ":tester:Music", "[Music]"}, {root + ":tester:Bilder", "[Bilder]"},
            {root + ":data", "[data]"},
        };
        int status = 0;
        if (StringCropper::s_mapSymbolicFolders != expected) {
            for (const auto& [path, alias] : StringCropper::s_mapSymbolicFolders)
                std::fprintf(stderr, "%s -> %s\n", path.c_str(), alias.c_str());
            status = 2;
        } else if (crop(4, root + ":tester:Documents:x.txt", 100) != "[Documents]:x.txt") {
            status = 3;
        }
        fs::remove_all(folder.path());  // exit() skips the folder's destructor
        std::exit(status);
    };
    EXPECT_EXIT(child(), testing::ExitedWithCode(0), "");
}

}  // namespace
