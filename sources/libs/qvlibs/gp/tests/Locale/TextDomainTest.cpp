#include "GP/AlertRunner.h"
#include "GP/GetText.h"
#include "GP/MemoryStream.h"

#include "MoFile.h"
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using QV::GP::GetTextDomain;
using QV::GP::GetTextLoader;

// A copy of this program started inside a fake bundle chooses its locale from its environment,
// prints the locale and the titles of the Cancel and Yes buttons, and ends before any test runs.
// With QV_GETTEXT_TEST_LATE set it asks for a title first and chooses the locale afterwards.
[[maybe_unused]] const bool s_childReport = [] {
    if (!std::getenv("QV_GETTEXT_TEST_CHILD"))
        return false;
    const bool late = std::getenv("QV_GETTEXT_TEST_LATE") != nullptr;
    if (late)
        QV::GP::DETAIL::buttonTitle(QV::GP::Message::eButtonOK);
    const char* id = std::getenv("QV_GETTEXT_TEST_ID");
    GetTextLoader::initLocale(id);
    std::printf("%s|%s|%s\n", GetTextLoader::s_Locale,
                QV::GP::DETAIL::buttonTitle(QV::GP::Message::eButtonCancel).c_str(),
                QV::GP::DETAIL::buttonTitle(QV::GP::Message::eButtonYes).c_str());
    std::fflush(stdout);
    std::_Exit(0);
}();

TEST(TextDomain, CachesAnswersByTheKeysAddress)
{
    QV::TEST::MoFile file({{"OK", "Einverstanden"}, {"Cancel", "Abbrechen"}});
    GetTextDomain<const char*, std::string> domain;
    QV::GP::MemoryStream stream;
    stream.storage().init(QV::GP::IStorage::eAccessRead, file.bytes().data(), file.bytes().size());
    ASSERT_TRUE(domain.loader().loadDomain(stream));

    const char* const literal = "OK";
    const std::string& first = domain.get(literal);
    const std::string& again = domain.get(literal);
    EXPECT_EQ(first, "Einverstanden");
    EXPECT_EQ(&first, &again);

    const std::string copy = "OK";  // the same text at another address: looked up afresh
    const char* const other = copy.c_str();
    const std::string& fromCopy = domain.get(other);
    EXPECT_EQ(fromCopy, "Einverstanden");
    EXPECT_NE(&fromCopy, &first);

    const char* const untranslated = "Retry";
    EXPECT_EQ(domain.get(untranslated), "Retry");
    const char* const none = nullptr;
    EXPECT_EQ(domain.get(none), "");
}

TEST(TextDomain, AnEmptyDomainAnswersTheKey)
{
    GetTextDomain<const char*, std::string> domain;
    const char* const key = "Cancel";
    EXPECT_EQ(domain.get(key), "Cancel");
}

// The whole road inside a bundle: locale choice, catalogue lookup in <code>.lproj, button titles.
class BundleTranslations : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        const fs::path bundle = m_folder.path() / "Translated.app";
        const fs::path macos = bundle / "Contents" / "MacOS";
        const fs::path resources = bundle / "Contents" / "Resources";
        fs::create_directories(macos);
        fs::copy_file("/proc/self/exe", macos / "updater");  // a copy: a link would name its target
        m_program = (macos / "updater").string();
        for (const char* code : {"DEU", "FRA", "JPN"}) {
            fs::create_directories(resources / (std::string(code) + ".lproj"));
            fs::copy_file(std::string(QV_TEST_TRANSLATIONS_DIR) + "/" + code + ".lproj/lib.mo",
                          resources / (std::string(code) + ".lproj") / "lib.mo");
        }
        fs::create_directories(resources / "ENG.lproj");  // English has no catalogue here
    }

    std::string run(const std::string& environment) const
    {
        const QV::TEST::tRun child = QV::TEST::runCommand("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES -u LANG "
                                                          "QV_GETTEXT_TEST_CHILD=1 " +
                                                          environment + " '" + m_program + "'");
        EXPECT_EQ(child.status, 0) << child.output;
        return child.output.substr(0, child.output.find('\n'));
    }

    QV::TEST::TemporaryFolder m_folder{"qv-gettext-bundle"};
    std::string m_program;
};

TEST_F(BundleTranslations, TitlesFollowTheChosenLocale)
{
    struct Case {
        const char* environment;
        const char* expected;
    } cases[] = {
        {"LANG=de_DE.UTF-8", "DEU|Abbrechen|Ja"},
        {"LANG=de_DE.UTF-8 LANGUAGE=pt_BR:fr", "FRA|Annuler|Oui"},
        {"LANG=ja_JP.UTF-8",
         "JPN|\xE3\x82\xAD\xE3\x83\xA3\xE3\x83\xB3\xE3\x82\xBB\xE3\x83\xAB|\xE3\x81\xAF\xE3\x81\x84"},
        {"LANG=pt_BR.UTF-8", "ENG|Cancel|Yes"},    // not among the bundle's: English, without a catalogue
        {"LANG=C LANGUAGE=de", "ENG|Cancel|Yes"},  // the C locale ignores LANGUAGE
        {"LANG=fr_FR.UTF-8 QV_GETTEXT_TEST_ID=de", "DEU|Abbrechen|Ja"},  // an id wins over the user's languages
        {"LANG=fr_FR.UTF-8 QV_GETTEXT_TEST_ID=it", "ITA|Cancel|Yes"},    // no ITA.lproj at all
        {"LANG=de_DE.UTF-8 QV_GETTEXT_TEST_LATE=1", "DEU|Cancel|Yes"},   // chosen after the first use: not loaded
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.environment), c.expected) << c.environment;
}

TEST(TextDomainOutsideABundle, ButtonTitlesStayEnglish)
{
    EXPECT_EQ(QV::GP::DETAIL::buttonTitle(QV::GP::Message::eButtonCancel), "Cancel");
    EXPECT_EQ(QV::GP::DETAIL::buttonTitle(QV::GP::Message::eButtonIgnore), "Ignore");
}

}  // namespace
