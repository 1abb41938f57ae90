#include "GP/FileManager.h"
#include "GP/FileName.h"
#include "GP/FileType.h"
#include "GP/VolumeTable.h"

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using QV::GP::FileManager;
using QV::GP::FileName;

// A folder with a file, a folder, a package, links and names that are not in Unicode's composed form
// or not UTF-8 at all.
class FileManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        write("notes.txt", "hello");
        fs::create_directory(path("sub"));
        fs::create_directories(path("Tool.app") / "Contents" / "MacOS");
        fs::create_symlink(path("notes.txt"), path("link.txt"));
        fs::create_symlink(path("gone.txt"), path("dangling.txt"));
        fs::create_directory_symlink(path("sub"), path("sublink"));
        write("Cafe\xCC\x81.txt", "nfd");  // decomposed é
        write("raw\xFF.txt", "raw");       // not UTF-8
    }

    fs::path path(const std::string& relative) const { return m_folder.path() / relative; }
    void write(const std::string& relative, const std::string& text) { std::ofstream(path(relative)) << text; }

    // The name of an item in the folder, from its POSIX path; `folder` appends the '/' that makes it a
    // folder's name.
    FileName name(const std::string& relative, bool folder = false) const
    {
        return FileName(fs::path(path(relative).string() + (folder ? "/" : "")));
    }

    QV::TEST::TemporaryFolder m_folder{"qv-filemanager"};
};

TEST_F(FileManagerTest, ExistsFileIsTrueForFilesAndPackagesOnly)
{
    struct Case {
        const char* item;
        bool folderName;
        bool exists;
    } cases[] = {
        {"notes.txt", false, true},
        {"link.txt", false, true},       // links are followed
        {"dangling.txt", false, false},  // to nothing
        {"missing.txt", false, false},
        {"sub", true, false},       // a folder named as a folder
        {"sub", false, false},      // the file system knows it is a folder
        {"Tool.app", false, true},  // a package is a file
        {"Cafe\xCC\x81.txt", false, true},
        {"Caf\xC3\xA9.txt", false, false},  // the composed form is another name
        {"raw\xFF.txt", false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileManager::existsFile(name(c.item, c.folderName)), c.exists) << c.item;
    EXPECT_FALSE(FileManager::existsFile(FileName()));
}

TEST_F(FileManagerTest, ExistsDirAnswersForTheWholeName)
{
    const std::string folder = FileName::POSIX2HFSPath(m_folder.path().string());
    struct Case {
        std::string text;
        bool exists;
    } cases[] = {
        {folder + ":sub:", true},
        {folder + ":sub", true},  // without its trailing ':' the same folder
        {folder + ":sublink:", true},
        {folder + ":notes.txt", false},  // a file, although its folder exists
        {folder + ":notes.txt:", false},
        {folder + ":missing", false},
        {folder + ":missing:", false},
        {folder + ":Tool.app", true},  // a package is a folder on disk
        {QV::GP::DETAIL::kRootVolumeName, true},
        {std::string(QV::GP::DETAIL::kRootVolumeName) + ":", true},
        {"NoSuchVolume:", false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileManager::existsDir(FileName(c.text)), c.exists) << c.text;
}

TEST_F(FileManagerTest, CreateFileMakesAnEmptyFileForATypedFileName)
{
    QV::GP::FileTypeDescr text{"Text", "Texts", nullptr, {"txt"}, {QV::GP::fourCharCode("TEXT")}};
    auto typed = [&](FileName file) {
        file.setType(&text);
        return file;
    };

    EXPECT_FALSE(FileManager::createFile(name("untyped.txt")));  // no type
    EXPECT_FALSE(fs::exists(path("untyped.txt")));
    EXPECT_FALSE(FileManager::createFile(typed(name("nowhere/new.txt"))));  // no such folder
    EXPECT_FALSE(fs::exists(path("nowhere")));
    EXPECT_FALSE(FileManager::createFile(typed(name("notes.txt/inside.txt"))));  // the folder is a file
    EXPECT_FALSE(FileManager::createFile(typed(name("newfolder", true))));       // not a file name

    EXPECT_TRUE(FileManager::createFile(typed(name("new.txt"))));
    EXPECT_TRUE(fs::is_regular_file(path("new.txt")));
    EXPECT_EQ(fs::file_size(path("new.txt")), 0u);

    EXPECT_TRUE(FileManager::createFile(typed(name("notes.txt"))));  // exists: left as it is
    EXPECT_EQ(fs::file_size(path("notes.txt")), 5u);

    EXPECT_TRUE(FileManager::createFile(typed(name("new\xFE.txt"))));  // the bytes as given
    EXPECT_TRUE(fs::is_regular_file(path("new\xFE.txt")));
    EXPECT_TRUE(FileManager::createFile(typed(name("Nai\xCC\x88ve.txt"))));
    EXPECT_TRUE(fs::is_regular_file(path("Nai\xCC\x88ve.txt")));
    EXPECT_FALSE(fs::exists(path("Na\xC3\xAFve.txt")));
}

TEST_F(FileManagerTest, GetFileSizeGivesTheBytesOfAFile)
{
    // A sparse file past 4 GiB takes no room.
    const fs::path large = path("large.bin");
    std::ofstream(large).close();
    fs::resize_file(large, 5ull << 30);
    struct Case {
        const char* item;
        std::uint64_t size;
    } cases[] = {
        {"notes.txt", 5},   {"link.txt", 5}, {"large.bin", 5ull << 30},
        {"missing.txt", 0}, {"sub", 0},      {"raw\xFF.txt", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileManager::getFileSize(name(c.item)), c.size) << c.item;
}

TEST_F(FileManagerTest, GetCurDirNamesTheCurrentFolder)
{
    const fs::path before = fs::current_path();
    fs::create_directory(path("Cafe\xCC\x81"));
    fs::current_path(path("Cafe\xCC\x81"));
    FileName current(std::string("stale:name.txt"));
    const bool ok = FileManager::getCurDir(current);
    fs::current_path(before);

    ASSERT_TRUE(ok);
    EXPECT_EQ(current.getMode(), FileName::eModeFolder);
    EXPECT_EQ(current.getFull(), FileName::POSIX2HFSPath(path("Cafe\xCC\x81").string()) + ":");
    EXPECT_EQ(current.getName(), "");
    EXPECT_EQ(current.getFilesystemPath(), path("Cafe\xCC\x81").string());
}

}  // namespace
