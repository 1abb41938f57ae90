#include "GP/FileTypeManager.h"

#include "GP/FileName.h"
#include "GP/VolumeTable.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace QV::GP::TEST {
namespace {

namespace fs = std::filesystem;
using M = FileTypeManager;

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(M::init()); }
    void TearDown() override { M::deInit(); }
};

TEST_F(FileTypes, StandardTypesAsRegistered)
{
    struct Row {
        M::eStdFileType index;
        const char* name;
        const char* plural;
        std::vector<std::string> extensions;
        std::vector<FileTypeMacMagic> codes;
    } rows[] = {
        {M::eStdFileTypeUnknown, "Unknown", "All Files", {"*"}, {fourCharCode("????")}},
        {M::eStdFileTypeDirectory, "Directory", "Directories", {"*"}, {fourCharCode("????")}},
        {M::eStdFileTypeVolume, "Volume", "Volumes", {"*"}, {fourCharCode("????")}},
        {M::eStdFileTypeWAV,
         "WAV File",
         "WAV Files",
         {"wav"},
         {fourCharCode("WAVE"), fourCharCode("WAV "), fourCharCode(".WAV")}},
        {M::eStdFileTypeAIFF, "AIFF File", "AIFF Files", {"aif", "aiff"}, {fourCharCode("AIFF")}},
        {M::eStdFileTypeSD2, "SD2 File", "SD2 Files", {"sd2"}, {fourCharCode("Sd2f")}},
        {M::eStdFileTypeMIDI, "MIDI File", "MIDI Files", {"mid"}, {fourCharCode("Midi")}},
        {M::eStdFileTypeExecutable, "Executable File", "Executable Files", {"app"}, {fourCharCode("APPL")}},
        {M::eStdFileTypeDynamicLibrary,
         "Dynamic Link Library",
         "Dynamic Link Libraries",
         {"dylib"},
         {fourCharCode("BNDL"), fourCharCode("aPcs")}},
        {M::eStdFileTypeGIF, "GIF File", "GIF Files", {"gif"}, {fourCharCode("GIF ")}},
        {M::eStdFileTypeBitmap, "Bitmap File", "Bitmap Files", {"bmp"}, {fourCharCode("BMPf")}},
        {M::eStdFileTypePicture, "Picture File", "Picture Files", {"pic"}, {fourCharCode("PICT")}},
        {M::eStdFileTypeJPEG, "JPEG File", "JPEG Files", {"jpeg", "jpg", "jpe", "jfif", "jif"}, {fourCharCode("JPEG")}},
        {M::eStdFileTypePNG, "PNG File", "PNG Files", {"png"}, {fourCharCode("PNGf")}},
        {M::eStdFileTypeTrueTypeFont, "True Type Font", "True Type Fonts", {"ttf"}, {fourCharCode("tfil")}},
        {M::eStdFileTypeXML, "XML File", "XML Files", {"xml"}, {fourCharCode("????")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FileTypeDescr* type = M::getStdType(row.index);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->name, row.name);
        EXPECT_EQ(type->pluralName, row.plural);
        EXPECT_EQ(type->extensions, row.extensions);
        EXPECT_EQ(type->typeCodes, row.codes);
        // Each type has its own group of the same names, holding it.
        ASSERT_NE(type->group, nullptr);
        EXPECT_EQ(type->group->name, row.name);
        EXPECT_EQ(type->group->pluralName, row.plural);
        EXPECT_EQ(type->group->types, std::vector<const FileTypeDescr*>{type});
    }
    EXPECT_EQ(M::getStdType(M::eStdFileTypeCount), nullptr);
}

TEST_F(FileTypes, StandardGroups)
{
    const FileTypeGroupDescr* all = M::getStdGroup(M::eStdGroupAllFiles);
    EXPECT_EQ(all, M::getStdType(M::eStdFileTypeUnknown)->group);
    EXPECT_EQ(M::getGroupDescrFor(nullptr), all);
    const FileTypeGroupDescr* audio = M::getStdGroup(M::eStdGroupAudio);
    EXPECT_EQ(M::getGroupDescrFor(audio), audio);

    struct Row {
        M::eStdGroupType index;
        const char* name;
        const char* plural;
        std::vector<const FileTypeDescr*> types;
    } rows[] = {
        {M::eStdGroupAllFiles, "Unknown", "All Files", {M::getStdType(M::eStdFileTypeUnknown)}},
        {M::eStdGroupAudio,
         "Audio File",
         "Audio Files",
         {M::getStdType(M::eStdFileTypeWAV), M::getStdType(M::eStdFileTypeAIFF), M::getStdType(M::eStdFileTypeSD2)}},
        {M::eStdGroupSample, "Sample File", "Sample Files", {}},
        {M::eStdGroupBitmap, "Bitmap File", "Bitmap Files", {}},
        {M::eStdGroupMidi, "Midi Sequence", "Midi Sequences", {M::getStdType(M::eStdFileTypeMIDI)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FileTypeGroupDescr* group = M::getStdGroup(row.index);
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->name, row.name);
        EXPECT_EQ(group->pluralName, row.plural);
        EXPECT_EQ(group->types, row.types);
    }
    // The standard bitmap group is not the Bitmap type's own group.
    EXPECT_NE(M::getStdGroup(M::eStdGroupBitmap), M::getStdType(M::eStdFileTypeBitmap)->group);
}

TEST_F(FileTypes, LookupByExtension)
{
    struct Case {
        const char* extension;
        const FileTypeDescr* type;
    } cases[] = {
        {"JPG", M::getStdType(M::eStdFileTypeJPEG)},     {"jfif", M::getStdType(M::eStdFileTypeJPEG)},
        {"Aiff", M::getStdType(M::eStdFileTypeAIFF)},    {"aif", M::getStdType(M::eStdFileTypeAIFF)},
        {"xml", M::getStdType(M::eStdFileTypeXML)},      {"xyz", M::getStdType(M::eStdFileTypeUnknown)},
        {".png", M::getStdType(M::eStdFileTypeUnknown)},                  // without the '.'
        {"", M::getStdType(M::eStdFileTypeUnknown)},     {"*", nullptr},  // three types list it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(M::getUniqueTypeForExtension(c.extension), c.type);
    }
}

TEST_F(FileTypes, LookupByTypeCode)
{
    struct Case {
        const char* code;
        const FileTypeDescr* type;
    } cases[] = {
        {"????", M::getStdType(M::eStdFileTypeUnknown)},  // though four types list it
        {"WAV ", M::getStdType(M::eStdFileTypeWAV)},
        {".WAV", M::getStdType(M::eStdFileTypeWAV)},
        {"aPcs", M::getStdType(M::eStdFileTypeDynamicLibrary)},
        {"PNGf", M::getStdType(M::eStdFileTypePNG)},
        {"ZZZZ", M::getStdType(M::eStdFileTypeUnknown)},
        {"pngf", M::getStdType(M::eStdFileTypeUnknown)},  // codes are exact
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const char code[5] = {c.code[0], c.code[1], c.code[2], c.code[3], '\0'};
        EXPECT_EQ(M::getUniqueTypeForMacMagic(fourCharCode(code)), c.type);
    }
}

TEST_F(FileTypes, ExtensionAddedToASecondTypeMakesItAmbiguous)
{
    const FileTypeDescr* png = M::getStdType(M::eStdFileTypePNG);
    M::registerExtensionForType("PNG2", png);
    EXPECT_EQ(M::getUniqueTypeForExtension("png2"), png);
    M::registerExtensionForType("jpg", png);
    EXPECT_EQ(M::getUniqueTypeForExtension("jpg"), nullptr);
    EXPECT_EQ(M::getUniqueTypeForExtension("jpeg"), M::getStdType(M::eStdFileTypeJPEG));

    // A type the registry does not hold is left alone.
    FileTypeDescr stranger;
    M::registerExtensionForType("odd", &stranger);
    EXPECT_TRUE(stranger.extensions.empty());
    EXPECT_EQ(M::getUniqueTypeForExtension("odd"), M::getStdType(M::eStdFileTypeUnknown));
}

TEST_F(FileTypes, RegistrationNeedsAnOpenWindow)
{
    // init() closed its window: the set of types is fixed.
    EXPECT_EQ(M::registerType("Sound", "Sounds", "snd", fourCharCode("SND ")), nullptr);
    EXPECT_EQ(M::registerGroup("Things", "Things"), nullptr);
    EXPECT_EQ(M::getUniqueTypeForExtension("snd"), M::getStdType(M::eStdFileTypeUnknown));

    M::deInit();
    EXPECT_EQ(M::registerType("Sound", "Sounds", "snd", fourCharCode("SND ")), nullptr);
    EXPECT_EQ(M::registerGroup("Things", "Things"), nullptr);
}

TEST_F(FileTypes, UnregisterIgnoresHandlesItDoesNotOwn)
{
    const FileTypeDescr* png = M::getStdType(M::eStdFileTypePNG);
    M::RegistrationHandle invalid;
    M::unregister(invalid);
    M::RegistrationHandle stale{5, 0, 0};  // not the latest registration
    M::unregister(stale);
    EXPECT_EQ(stale.number, 5);
    M::RegistrationHandle negative{0, -1, 0};
    M::unregister(negative);
    EXPECT_EQ(negative.number, 0);
    EXPECT_EQ(M::getUniqueTypeForExtension("png"), png);
}

TEST_F(FileTypes, DeInitEmptiesAndInitRebuilds)
{
    EXPECT_TRUE(M::init());  // a second init registers nothing more
    EXPECT_EQ(M::getUniqueTypeForExtension("png"), M::getStdType(M::eStdFileTypePNG));

    M::deInit();
    EXPECT_EQ(M::getStdType(M::eStdFileTypePNG), nullptr);
    EXPECT_EQ(M::getStdGroup(M::eStdGroupAudio), nullptr);
    EXPECT_EQ(M::getUniqueTypeForExtension("png"), nullptr);
    EXPECT_EQ(M::getUniqueTypeForMacMagic(fourCharCode("PNGf")), nullptr);
    M::deInit();  // nothing to do

    ASSERT_TRUE(M::init());
    ASSERT_NE(M::getStdType(M::eStdFileTypePNG), nullptr);
    EXPECT_EQ(M::getStdType(M::eStdFileTypePNG)->name, "PNG File");
    EXPECT_EQ(M::getUniqueTypeForExtension("png"), M::getStdType(M::eStdFileTypePNG));
    EXPECT_EQ(M::getStdGroup(M::eStdGroupMidi)->types.size(), 1u);
    EXPECT_EQ(M::registerType("Sound", "Sounds", "snd", fourCharCode("SND ")), nullptr);
}

// determineType on names mounted from a temporary folder ("VOL").
class DetermineType : public FileTypes {
protected:
    void SetUp() override
    {
        FileTypes::SetUp();
        ASSERT_FALSE(m_folder.path().empty());
        m_previous = DETAIL::VolumeTable::install(
            std::make_shared<DETAIL::FixedVolumeTable>(std::vector<std::string>{m_folder.path().native()}));
        m_volume = m_folder.path().filename().native();
    }
    void TearDown() override
    {
        DETAIL::VolumeTable::install(m_previous);
        FileTypes::TearDown();
    }
    FileName nameOf(const std::string& relative) const { return FileName(m_volume + ":" + relative); }

    QV::TEST::TemporaryFolder m_folder{"qv-filetype"};
    std::string m_volume;
    std::shared_ptr<const DETAIL::VolumeTable> m_previous;
};

TEST_F(DetermineType, ByExtensionOnceThenNoChange)
{
    FileName picture = nameOf("picture.png");  // does not exist
    ASSERT_EQ(picture.getType(), nullptr);
    EXPECT_TRUE(M::determineType(picture));
    EXPECT_EQ(picture.getType(), M::getStdType(M::eStdFileTypePNG));
    EXPECT_FALSE(M::determineType(picture));
    EXPECT_EQ(picture.getType(), M::getStdType(M::eStdFileTypePNG));
}

TEST_F(DetermineType, OnlyFileNamesAreHandled)
{
    FileName folder = nameOf("sub:");
    const FileTypeDescr* before = folder.getType();
    EXPECT_FALSE(M::determineType(folder));
    EXPECT_EQ(folder.getType(), before);
    FileName empty;
    EXPECT_FALSE(M::determineType(empty));
}

TEST_F(DetermineType, TheFileSystemDecidesWithoutAUsableExtension)
{
    // A folder named in file mode is a Directory: "data.unknown" as text alone is a file name.
    FileName missing = nameOf("data.unknown");
    fs::create_directory(m_folder.path() / "data.unknown");
    ASSERT_EQ(missing.getMode(), FileName::eModeFile);
    EXPECT_TRUE(M::determineType(missing));
    EXPECT_EQ(missing.getType(), M::getStdType(M::eStdFileTypeDirectory));

    // A file without extension: Linux keeps no type codes, so nothing decides.
    std::ofstream(m_folder.path() / "README") << "text";
    FileName readme = nameOf("README");
    const FileTypeDescr* before = readme.getType();
    EXPECT_FALSE(M::determineType(readme));
    EXPECT_EQ(readme.getType(), before);

    // Neither extension nor item.
    FileName nothing = nameOf("nothing");
    EXPECT_FALSE(M::determineType(nothing));
    EXPECT_EQ(nothing.getType(), nullptr);
}

TEST(FileTypesBeforeInit, LookupsAnswerNothing)
{
    EXPECT_EQ(M::getStdType(M::eStdFileTypeUnknown), nullptr);
    EXPECT_EQ(M::getUniqueTypeForExtension("png"), nullptr);
    EXPECT_EQ(M::getUniqueTypeForMacMagic(fourCharCode("PNGf")), nullptr);
    EXPECT_EQ(M::registerType("Sound", "Sounds", "snd", fourCharCode("SND ")), nullptr);
    EXPECT_EQ(M::getGroupDescrFor(nullptr), nullptr);
}

}  // namespace
}  // namespace QV::GP::TEST
