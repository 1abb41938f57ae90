#include "GP/FileName.h"

#include "GP/FileTypeManager.h"
#include "VolumeFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace QV::GP::TEST {
namespace {

using FileNameText = VolumeFixture;

const FileTypeDescr* stdType(FileTypeManager::eStdFileType type) { return FileTypeManager::getStdType(type); }

// Names split from their text alone: "Disk" is not mounted.
TEST_F(FileNameText, SplitsTextIntoParts)
{
    struct Case {
        const char* text;
        const char* full;
        const char* volume;
        const char* path;
        const char* name;
        const char* extension;
        const char* subpath;
        FileName::eMode mode;
        bool relative;
    } cases[] = {
        // text, full text, volume, path, name, extension, subpath, mode, relative
        {"Disk:Users:me:notes.txt", "Disk:Users:me:notes.txt", "Disk", ":Users:me:", "notes", ".txt", "",
         FileName::eModeFile, false},
        {"Disk:Users:", "Disk:Users:", "Disk", ":Users:", "", "", "", FileName::eModeFolder, false},
        {"Disk:", "Disk:", "Disk", ":", "", "", "", FileName::eModeFolder, false},
        {"Disk:notes", "Disk:notes", "Disk", ":", "notes", "", "", FileName::eModeFile, false},
        {"notes.txt", "notes.txt", "", "", "notes", ".txt", "", FileName::eModeFile, true},
        {":sub:notes.txt", ":sub:notes.txt", "", ":sub:", "notes", ".txt", "", FileName::eModeFile, true},
        {":sub:", ":sub:", "", ":sub:", "", "", "", FileName::eModeFolder, false},
        {"::", "::", "", "::", "", "", "", FileName::eModeFolder, false},
        {"::up.txt", "::up.txt", "", "::", "up", ".txt", "", FileName::eModeFile, true},
        {"Disk::up.txt", "Disk::up.txt", "Disk", "::", "up", ".txt", "", FileName::eModeFile, false},
        {"Disk:a:b::", "Disk:a:b::", "Disk", ":a:b::", "", "", "", FileName::eModeFolder, false},
        {"Disk:a.b.c", "Disk:a.b.c", "Disk", ":", "a.b", ".c", "", FileName::eModeFile, false},
        {"Disk:.profile", "Disk:.profile", "Disk", ":", ".profile", "", "", FileName::eModeFile, false},
        {"Disk:x.d:file", "Disk:x.d:file", "Disk", ":x.d:", "file", "", "", FileName::eModeFile, false},
        {"Disk:trailing.", "Disk:trailing.", "Disk", ":", "trailing", ".", "", FileName::eModeFile, false},
        {"Disk:skin:pack.cnt<images<<7>", "Disk:skin:pack.cnt", "Disk", ":skin:", "pack", ".cnt", "<images<<7>",
         FileName::eModeFile, false},
        {"Disk:we<ird:f.txt", "Disk:we<ird:f.txt", "Disk", ":we<ird:", "f", ".txt", "", FileName::eModeFile, false},
        {"Disk:a<b:c<d<e", "Disk:a<b:c", "Disk", ":a<b:", "c", "", "<d<e", FileName::eModeFile, false},
        {"Disk:skin:<item", "Disk:skin:", "Disk", ":skin:", "", "", "", FileName::eModeFolder, false},
        {"Disk", "Disk", "", "", "Disk", "", "", FileName::eModeFile, true},
        {"", "", "", "", "", "", "", FileName::eModeEmpty, false},
        {"Gr\xC3\xBC\xC3\x9F"
         "e:\xE2\x9C\x93 a b.t\xC3\xA9xt",
         "Gr\xC3\xBC\xC3\x9F"
         "e:\xE2\x9C\x93 a b.t\xC3\xA9xt",
         "Gr\xC3\xBC\xC3\x9F"
         "e",
         ":", "\xE2\x9C\x93 a b", ".t\xC3\xA9xt", "", FileName::eModeFile, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FileName name{std::string(c.text)};
        EXPECT_EQ(name.getFull(), c.full);
        EXPECT_EQ(name.getVolume(), c.volume);
        EXPECT_EQ(name.getPath(), c.path);
        EXPECT_EQ(name.getName(), c.name);
        EXPECT_EQ(name.getExtension(), c.extension);
        EXPECT_EQ(name.getSubpath(), c.subpath);
        EXPECT_EQ(name.getMode(), c.mode);
        EXPECT_EQ(name.isRelative(), c.relative);
        EXPECT_EQ(name.getAliasSource(), nullptr);
        EXPECT_FALSE(name.isPackage());
    }
}

TEST_F(FileNameText, TypeFollowsTheMode)
{
    EXPECT_EQ(FileName(std::string("Disk:Users:")).getType(), stdType(FileTypeManager::eStdFileTypeDirectory));
    // A file split from its text keeps the type it had: none for a new name, the set one after setFull.
    FileName file{std::string("Disk:a.png")};
    EXPECT_EQ(file.getType(), nullptr);
    const FileTypeDescr* png = stdType(FileTypeManager::eStdFileTypePNG);
    EXPECT_TRUE(file.setType(png));
    EXPECT_FALSE(file.setType(png));
    file.setFull("Disk:b.txt");
    EXPECT_EQ(file.getType(), png);
    // A folder's or volume's type is its mode's.
    file.setFull("Disk:c:");
    EXPECT_EQ(file.getType(), stdType(FileTypeManager::eStdFileTypeDirectory));
}

TEST_F(FileNameText, StrictInitTellsWhetherTheNameIsWellFormed)
{
    FileName name{std::string("Disk:a:b.txt")};
    EXPECT_TRUE(name.init(false));
    name.setFull("Disk:a:");
    EXPECT_TRUE(name.init(false));
    name.clear();
    EXPECT_TRUE(name.init(false));
    EXPECT_EQ(name.getMode(), FileName::eModeEmpty);
}

TEST_F(FileNameText, MountedVolumeNameInAnyCaseIsAVolume)
{
    for (const char* text : {"VOL", "vol", "Vol", "Linux", "LINUX"}) {
        SCOPED_TRACE(text);
        const FileName name{std::string(text)};
        EXPECT_EQ(name.getMode(), FileName::eModeVolume);
        EXPECT_EQ(name.getVolume(), text);
        EXPECT_EQ(name.getPath(), ":");
        EXPECT_EQ(name.getName(), "");
        EXPECT_EQ(name.getType(), stdType(FileTypeManager::eStdFileTypeVolume));
        EXPECT_FALSE(name.isRelative());
    }
    // The volume's top folder.
    const FileName top{std::string("VOL:")};
    EXPECT_EQ(top.getMode(), FileName::eModeFolder);
    EXPECT_EQ(top.getVolume(), "VOL");
    EXPECT_EQ(top.getPath(), ":");
}

TEST_F(FileNameText, SetPathReplacesTheFolderAndKeepsTheName)
{
    // A relative import resolved against the importing file's folder.
    FileName imported{std::string("theme.css")};
    ASSERT_TRUE(imported.isRelative());
    imported.setPath("Disk:skin:styles", FileName::ePathWithVolume);
    EXPECT_EQ(imported.getFull(), "Disk:skin:styles:theme.css");
    EXPECT_EQ(imported.getMode(), FileName::eModeFile);
    EXPECT_FALSE(imported.isRelative());

    FileName moved{std::string("Disk:a:pack.cnt<item")};
    moved.setPath(":b:c:", FileName::ePathWithoutVolume);
    EXPECT_EQ(moved.getFull(), "Disk:b:c:pack.cnt");
    EXPECT_EQ(moved.getSubpath(), "");
    EXPECT_EQ(moved.getPath(), ":b:c:");

    // An empty or volume name becomes a folder.
    FileName empty;
    empty.setPath("Disk:x", FileName::ePathWithVolume);
    EXPECT_EQ(empty.getFull(), "Disk:x:");
    EXPECT_EQ(empty.getMode(), FileName::eModeFolder);
}

TEST_F(FileNameText, CopiesAreEqualAndIndependent)
{
    FileName original{std::string("Disk:a:b.txt<item")};
    original.setType(stdType(FileTypeManager::eStdFileTypeXML));
    FileName copy(original);
    FileName assigned;
    assigned = original;
    for (const FileName* name : {&copy, &assigned}) {
        EXPECT_EQ(name->getFull(), original.getFull());
        EXPECT_EQ(name->getPath(), original.getPath());
        EXPECT_EQ(name->getSubpath(), "<item");
        EXPECT_EQ(name->getType(), original.getType());
        EXPECT_EQ(name->getMode(), FileName::eModeFile);
    }
    original.setFull("Other:c:");
    EXPECT_EQ(copy.getFull(), "Disk:a:b.txt");
    const FileName& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.getFull(), "Disk:a:b.txt");
    EXPECT_EQ(assigned.getSubpath(), "<item");

    assigned.clear();
    EXPECT_TRUE(assigned.empty());
    EXPECT_EQ(assigned.getType(), nullptr);
    EXPECT_EQ(assigned.getMode(), FileName::eModeEmpty);
    EXPECT_EQ(assigned.getSubpath(), "");
}

TEST(FileNameSubpath, StripSubpathMovesOnlyAfterTheLastSeparator)
{
    struct Case {
        const char* full;
        const char* remaining;
        const char* subpath;  // "(kept)" when it must stay as it was
    } cases[] = {
        {"Disk:skin:pack.cnt<images<<7>", "Disk:skin:pack.cnt", "<images<<7>"},
        {"Disk:a<b:c", "Disk:a<b:c", "(kept)"},
        {"pack.cnt<<12>", "pack.cnt", "<<12>"},
        {"<x", "", "<x"},
        {"Disk:plain", "Disk:plain", "(kept)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.full);
        std::string full = c.full;
        std::string subpath = "(kept)";
        FileName::stripSubpath(full, subpath);
        EXPECT_EQ(full, c.remaining);
        EXPECT_EQ(subpath, c.subpath);
    }
}

}  // namespace
}  // namespace QV::GP::TEST
