#include "GP/FileName.h"
#include "GP/SystemFolders.h"

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace QV::GP;

TEST(SystemFolders, UserDirsConfigurationIsReadAsGLibReadsIt)
{
    struct Case {
        const char* config;
        std::string documents;
    } cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "/home/me/Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/me"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", "/home/me"},
        {"  XDG_DOCUMENTS_DIR = \"$HOME/My Docs\"\n", "/home/me/My Docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\\\"b\"\n", "/home/me/a\"b"},  // escaped quote
        {"XDG_DOCUMENTS_DIR=\"$HOME/Caf\xC3\xA9\"\n", "/home/me/Caf\xC3\xA9"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/one\"\nXDG_DOCUMENTS_DIR=\"$HOME/two\"\n", "/home/me/two"},  // the last counts
        {"XDG_DOCUMENTS_DIR=\"$HOME/one\"\nXDG_DOCUMENTS_DIR=\"relative\"\n", "/home/me/one"},
        {"# XDG_DOCUMENTS_DIR=\"$HOME/commented\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"relative/path\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"$HOMEX/x\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/unterminated\n", ""},
        {"XDG_DOCUMENTS_DIR=$HOME/unquoted\n", ""},
        {"XDG_DOCUMENTS_DIRX=\"$HOME/x\"\n", ""},
        {"XDG_MUSIC_DIR=\"$HOME/Musik\"\n", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DETAIL::userDirFromConfig(c.config, "DOCUMENTS", "/home/me"), c.documents) << c.config;
}

TEST(SystemFolders, EachDomainAndTypeHasItsFolderOrNone)
{
    DETAIL::tFolderSources sources;
    sources.home = "/home/me";
    sources.systemDataFolder = "/usr/local/share";
    sources.documents = "/home/me/Dokumente";
    // music and pictures are not configured
    struct Case {
        short domain;
        unsigned type;
        std::string path;
    } cases[] = {
        {kOnAppropriateDisk, kCurrentUserFolderType, "/home/me"},
        {kUserDomain, kCurrentUserFolderType, "/home/me"},
        {kLocalDomain, kCurrentUserFolderType, ""},
        {kUserDomain, kDocumentsFolderType, "/home/me/Dokumente"},
        {kUserDomain, kMusicDocumentsFolderType, "/home/me/Music"},
        {kUserDomain, kPictureDocumentsFolderType, "/home/me/Pictures"},
        {kSystemDomain, kDocumentsFolderType, ""},
        {kLocalDomain, kApplicationSupportFolderType, "/usr/local/share"},
        {kUserDomain, kApplicationSupportFolderType, ""},
        {kOnAppropriateDisk, kApplicationsFolderType, ""},    // no Linux counterpart
        {kOnAppropriateDisk, kSharedUserDataFolderType, ""},  // no Linux counterpart
        {kUserDomain, fourCharCode("trsh"), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DETAIL::systemFolderPath(sources, c.domain, c.type), c.path)
            << c.domain << " " << fourCharCodeText(c.type);
}

// A session of its own: HOME, XDG_CONFIG_HOME and XDG_DATA_DIRS point into a temporary folder.
class SystemFolderSessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS"}) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        m_home = m_folder.path() / "home" / "me";
        fs::create_directories(m_home / ".config");
        setenv("HOME", m_home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        setenv("XDG_DATA_DIRS", (":relative:" + (m_folder.path() / "share").string() + "/:/usr/share").c_str(), 1);
        std::ofstream(m_home / ".config" / "user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"$HOME/Do\xCC\x88kumente\"\n";
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

    QV::TEST::TemporaryFolder m_folder{"qv-systemfolders"};
    fs::path m_home;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(SystemFolderSessionTest, TheSessionsFoldersComeFromTheEnvironment)
{
    const DETAIL::tFolderSources sources = DETAIL::currentFolderSources();
    EXPECT_EQ(sources.home, m_home.string());
    EXPECT_EQ(sources.systemDataFolder, (m_folder.path() / "share").string());
    EXPECT_EQ(sources.documents, (m_home / "Do\xCC\x88kumente").string());
    EXPECT_EQ(sources.music, "");

    setenv("XDG_CONFIG_HOME", (m_folder.path() / "elsewhere").c_str(), 1);  // no user-dirs there
    EXPECT_EQ(DETAIL::currentFolderSources().documents, "");
}

TEST_F(SystemFolderSessionTest, FindsAFolderThatExistsOrIsMadeOnRequest)
{
    FileName out(std::string("untouched"));
    EXPECT_FALSE(getSystemFolder(kUserDomain, kDocumentsFolderType, out, false));  // not there yet
    EXPECT_EQ(out.getFull(), "untouched");
    EXPECT_FALSE(getSystemFolder(kOnAppropriateDisk, kApplicationsFolderType, out, true));
    EXPECT_EQ(out.getFull(), "untouched");

    ASSERT_TRUE(getSystemFolder(kUserDomain, kDocumentsFolderType, out, true));
    EXPECT_TRUE(fs::is_directory(m_home / "Do\xCC\x88kumente"));  // made, byte for byte
    EXPECT_EQ(out.getMode(), FileName::eModeFolder);
    EXPECT_EQ(out.getFilesystemPath(), (m_home / "Do\xCC\x88kumente").string());

    ASSERT_TRUE(getSystemFolder(kOnAppropriateDisk, kCurrentUserFolderType, out, false));
    EXPECT_EQ(out.getFilesystemPath(), m_home.string());
    EXPECT_EQ(out.getFull().back(), ':');

    EXPECT_FALSE(getSystemFolder(kUserDomain, kMusicDocumentsFolderType, out, false));
    ASSERT_TRUE(getSystemFolder(kUserDomain, kMusicDocumentsFolderType, out, true));
    EXPECT_EQ(out.getFilesystemPath(), (m_home / "Music").string());
}

}  // namespace
