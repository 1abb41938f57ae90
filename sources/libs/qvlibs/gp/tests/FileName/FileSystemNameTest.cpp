// Names of items that exist: the file system decides file or folder, and paths keep their bytes.
#include "GP/FileName.h"

#include "GP/FileTypeManager.h"
#include "VolumeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace QV::GP::TEST {
namespace {

namespace fs = std::filesystem;
using ExistingNames = VolumeFixture;

const FileTypeDescr* stdType(FileTypeManager::eStdFileType type) { return FileTypeManager::getStdType(type); }

TEST_F(ExistingNames, FileSystemDecidesFileOrFolder)
{
    makeFile("docs/notes.txt");
    makeFile("docs/picture.PNG");
    makeFolder("docs/album.d");

    const FileName folder{std::string("VOL:docs")};  // no ':' at the end, yet a folder
    EXPECT_EQ(folder.getMode(), FileName::eModeFolder);
    EXPECT_EQ(folder.getFull(), "VOL:docs:");
    EXPECT_EQ(folder.getPath(), ":docs:");
    EXPECT_EQ(folder.getType(), stdType(FileTypeManager::eStdFileTypeDirectory));

    const FileName dotted{std::string("VOL:docs:album.d")};
    EXPECT_EQ(dotted.getMode(), FileName::eModeFolder);
    EXPECT_EQ(dotted.getName(), "");

    const FileName picture{std::string("vol:docs:picture.PNG")};
    EXPECT_EQ(picture.getMode(), FileName::eModeFile);
    EXPECT_EQ(picture.getVolume(), "vol");
    EXPECT_EQ(picture.getType(), stdType(FileTypeManager::eStdFileTypePNG));
    EXPECT_FALSE(picture.isRelative());

    // An existing file with an unknown extension is of the Unknown type.
    EXPECT_EQ(FileName(std::string("VOL:docs:notes.txt")).getType(), stdType(FileTypeManager::eStdFileTypeUnknown));

    // A file named as a folder is not that file: the text alone decides.
    const FileName notAFolder{std::string("VOL:docs:notes.txt:")};
    EXPECT_EQ(notAFolder.getMode(), FileName::eModeFolder);
    EXPECT_EQ(notAFolder.getPath(), ":docs:notes.txt:");
}

TEST_F(ExistingNames, FsRefReportsTheItem)
{
    const std::string file = makeFile("a/b.txt");
    FileName::tFileRef ref;
    unsigned char isFolder = 7;
    ASSERT_TRUE(FileName(std::string("VOL:a:b.txt")).getFSRef(ref, true, &isFolder));
    EXPECT_EQ(ref.posixPath, file);
    EXPECT_EQ(isFolder, 0);
    ASSERT_TRUE(FileName(std::string("VOL:a:")).getFSRef(ref, true, &isFolder));
    EXPECT_EQ(isFolder, 1);
    EXPECT_FALSE(FileName(std::string("VOL:a:missing")).getFSRef(ref, true, nullptr));

    std::string full;
    ASSERT_TRUE(FileName::getFullFromFSRef(FileName::tFileRef{file}, full));
    EXPECT_EQ(full, "VOL:a:b.txt");
    ASSERT_TRUE(FileName::getFullFromFSRef(FileName::tFileRef{(m_volume / "a").native()}, full));
    EXPECT_EQ(full, "VOL:a:");
}

TEST_F(ExistingNames, PackagesAreFilesOnlyWhenNamedWithoutTheFinalSeparator)
{
    makeFile("Tool.app/Contents/Info.plist");
    makeFolder("Plain.app");  // no Contents: an ordinary folder

    const FileName package{std::string("VOL:Tool.app")};
    EXPECT_EQ(package.getMode(), FileName::eModeFile);
    EXPECT_TRUE(package.isPackage());
    EXPECT_EQ(package.getName(), "Tool");
    EXPECT_EQ(package.getExtension(), ".app");
    EXPECT_EQ(package.getType(), stdType(FileTypeManager::eStdFileTypeExecutable));

    const FileName asFolder{std::string("VOL:Tool.app:")};
    EXPECT_EQ(asFolder.getMode(), FileName::eModeFolder);
    EXPECT_FALSE(asFolder.isPackage());

    const FileName plain{std::string("VOL:Plain.app")};
    EXPECT_EQ(plain.getMode(), FileName::eModeFolder);
    EXPECT_FALSE(plain.isPackage());
}

TEST_F(ExistingNames, SymbolicLinksAreFollowed)
{
    makeFolder("real");
    fs::create_directory_symlink(m_volume / "real", m_volume / "link");
    const FileName link{std::string("VOL:link")};
    EXPECT_EQ(link.getMode(), FileName::eModeFolder);
    EXPECT_EQ(link.getAliasSource(), nullptr);
    EXPECT_EQ(link.getSystemPath(true, true), (m_volume / "link").native());
}

// The bytes of a name on disk are the bytes used for I/O: spaces, ':', non-ASCII in either Unicode
// form, and bytes that are not UTF-8 at all.
TEST_F(ExistingNames, ExistingPathsRoundTripByteExactly)
{
    const char* names[] = {
        "My Notes.txt",     "a:b.txt",
        "caf\xC3\xA9.wav",   // precomposed
        "cafe\xCC\x81.wav",  // decomposed: must not become the precomposed file
        "\xFF\xFE.bin",     "%41 #?.txt",
    };
    for (const char* leaf : names) {
        SCOPED_TRACE(leaf);
        const std::string path = makeFile(std::string("dir/") + leaf);
        const FileName name{fs::path(path)};
        EXPECT_EQ(name.getMode(), FileName::eModeFile);
        EXPECT_EQ(name.getVolume(), "VOL");
        EXPECT_EQ(name.getSystemPath(true, true), path);
        EXPECT_TRUE(fs::exists(name.getFilesystemPath()));
        EXPECT_EQ(FileName(name.getFull()).getSystemPath(false, true), path);
    }
    // The two forms of "café.wav" are two files, and each name finds its own.
    EXPECT_NE(FileName(fs::path(m_volume / "dir/caf\xC3\xA9.wav")).getFull(),
              FileName(fs::path(m_volume / "dir/cafe\xCC\x81.wav")).getFull());
}

TEST_F(ExistingNames, RelativeNamesAreNotLookedUp)
{
    makeFile("rel.txt");
    const fs::path saved = fs::current_path();
    fs::current_path(m_volume);
    const FileName name{std::string("rel.txt")};
    const FileName folder{std::string(":")};
    fs::current_path(saved);
    EXPECT_EQ(name.getMode(), FileName::eModeFile);
    EXPECT_TRUE(name.isRelative());
    EXPECT_EQ(name.getType(), nullptr);
    EXPECT_EQ(folder.getMode(), FileName::eModeFolder);
}

}  // namespace
}  // namespace QV::GP::TEST
