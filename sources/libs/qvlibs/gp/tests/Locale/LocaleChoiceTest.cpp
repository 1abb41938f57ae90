#include "GP/GetText.h"
#include "Locale/LocaleChoice.h"

#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using QV::GP::getLocaleIdentifier;
using QV::GP::DETAIL::chooseLocale;
using QV::GP::DETAIL::preferredLocalization;

TEST(LocaleIdentifier, MapsLanguagesByTheirFirstTwoLetters)
{
    struct Case {
        const char* language;
        const char* code;
    } cases[] = {
        {"de-CH", "DEU"}, {"DE", "DEU"},    {"deu", "DEU"}, {"DEU", "DEU"},    //
        {"ja", "JPN"},    {"jp", "JPN"},    {"JPN", "JPN"}, {"ja_JP", "JPN"},  //
        {"fr_FR", "FRA"}, {"Fr", "FRA"},    {"FRA", "FRA"},                    //
        {"it", "ITA"},    {"ITA", "ITA"},                                      //
        {"es-MX", "SPA"}, {"sp", "SPA"},    {"SPA", "SPA"},                    //
        {"pt", "ENG"},    {"en_US", "ENG"}, {"ENG", "ENG"}, {"d", "ENG"},     {"", "ENG"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(getLocaleIdentifier(c.language), c.code) << c.language;
    EXPECT_STREQ(getLocaleIdentifier(nullptr), "ENG");
}

TEST(LocaleChoice, ThePreferredLocalizationFollowsTheUsersLanguages)
{
    const std::vector<std::string> six = {"DEU", "ENG", "FRA", "ITA", "JPN", "SPA"};
    struct Case {
        std::vector<std::string> localizations;
        std::vector<std::string> languages;  // most preferred first
        const char* expected;
    } cases[] = {
        {six, {"de-CH"}, "DEU"},
        {six, {"pt-BR", "ja"}, "JPN"},  // the first language the bundle has wins
        {six, {"fr", "de"}, "FRA"},
        {six, {"pt", "ru"}, "ENG"},  // none: the English localization
        {six, {"en-US"}, "ENG"},
        {{"DEU", "FRA"}, {"pt"}, "DEU"},  // neither nor English: the first
        {{"DEU", "FRA"}, {}, "DEU"},
        {{"en", "es"}, {"sp"}, "es"},  // names other than the codes
        {{}, {"de"}, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(preferredLocalization(c.localizations, c.languages), c.expected)
            << (c.languages.empty() ? "" : c.languages.front());
    }
}

TEST(LocaleChoice, ChoosesTheCodeFromTheIdOrTheBundle)
{
    const std::vector<std::string> localizations = {"DEU", "ENG", "FRA"};
    const std::vector<std::string> german = {"de-AT"};
    struct Case {
        const char* id;
        bool hasBundle;
        std::vector<std::string> localizations;
        const char* expected;
    } cases[] = {
        {nullptr, false, localizations, "\1"},  // outside a bundle, nothing asked for: untranslated
        {"", false, localizations, "ENG"},     {"it_IT", false, localizations, "ITA"},
        {"es", true, localizations, "SPA"},     // an id wins over the bundle's localizations
        {nullptr, true, localizations, "DEU"},  // else the user's choice among them
        {"", true, localizations, "DEU"},      {nullptr, true, {}, "ENG"},  // a bundle without localizations
        {nullptr, true, {"Base"}, "ENG"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseLocale(c.id, c.hasBundle, c.localizations, german), c.expected)
            << (c.id ? c.id : "(null)") << " bundle " << c.hasBundle;
    }
}

TEST(LocaleChoice, TheBundlesLocalizationsAreItsLprojFolders)
{
    QV::TEST::TemporaryFolder folder("qv-locale");
    ASSERT_FALSE(folder.path().empty());
    const fs::path resources = folder.path() / "Contents" / "Resources";
    for (const char* name : {"FRA.lproj", "DEU.lproj", "ENG.lproj", "skin", ".lproj"})
        fs::create_directories(resources / name);
    std::ofstream(resources / "ITA.lproj") << "a file, not a folder";
    std::ofstream(resources / "notes.txt") << "x";
    EXPECT_EQ(QV::GP::DETAIL::bundleLocalizations(folder.path()), (std::vector<std::string>{"DEU", "ENG", "FRA"}));
    EXPECT_TRUE(QV::GP::DETAIL::bundleLocalizations(folder.path() / "missing").empty());
}

}  // namespace
