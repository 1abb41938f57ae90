#include "GP/CFString.h"
#include "GP/SystemLanguage.h"
#include "SystemInfo/LocaleEnvironment.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace QV::GP;

TEST(SystemLanguage, FromIdentifier)
{
    struct tCase {
        const char* identifier;
        eSystemLanguage language;
    } const cases[] = {
        {"en_US", eLanguageEnglish},  {"fr", eLanguageFrench},       {"de-CH", eLanguageGerman},
        {"ja_JP", eLanguageJapanese}, {"es-419", eLanguageSpanish},  {"it-IT", eLanguageItalian},
        {"pt-BR", eLanguageOther},    {"EN", eLanguageOther},        {"De", eLanguageOther},
        {"e", eLanguageOther},        {"", eLanguageOther},          {"enx", eLanguageEnglish},
        {"zh-Hans", eLanguageOther},  {"\xC3\xA9s", eLanguageOther},
    };
    for (const tCase& c : cases) {
        EXPECT_EQ(convertMacLocaleToSystemLanguage(CFString(c.identifier)), c.language) << c.identifier;
        EXPECT_EQ(convertLocaleToSystemLanguage(c.identifier), c.language) << c.identifier;
    }
    EXPECT_EQ(convertMacLocaleToSystemLanguage(nullptr), eLanguageOther);
}

// The user's language and locale from the environment variables that are set.
TEST(SystemLanguage, FromEnvironment)
{
    using tEnvironment = std::map<std::string, std::string>;
    struct tCase {
        tEnvironment environment;
        std::vector<std::string> languages;
        const char* locale;
    } const cases[] = {
        {{{"LANG", "de_DE.UTF-8"}}, {"de-DE"}, "de_DE"},
        {{{"LANG", "pt_BR"}}, {"pt-BR"}, "pt_BR"},
        {{{"LANG", "sr_RS.UTF-8@latin"}}, {"sr-RS"}, "sr_RS"},
        // The C locale's messages are English.
        {{{"LANG", "C"}}, {"en-US"}, "en_US_POSIX"},
        {{{"LANG", "POSIX"}}, {"en-US"}, "en_US_POSIX"},
        {{}, {"en-US"}, "en_US_POSIX"},
        // LANGUAGE lists the preferred languages; the locale stays the messages locale's.
        {{{"LANGUAGE", "en_US:fr"}, {"LANG", "de_DE.UTF-8"}}, {"en-US", "fr"}, "de_DE"},
        {{{"LANGUAGE", "::es_ES:"}, {"LANG", "en_US.UTF-8"}}, {"es-ES"}, "en_US"},
        {{{"LANGUAGE", ""}, {"LANG", "ja_JP.eucJP"}}, {"ja-JP"}, "ja_JP"},
        // ... except in the C locale, which ignores it as gettext does.
        {{{"LANGUAGE", "fr:de"}, {"LANG", "C"}}, {"en-US"}, "en_US_POSIX"},
        {{{"LANGUAGE", "fr:de"}, {"LANG", "C.UTF-8"}}, {"en-US"}, "en_US_POSIX"},
        {{{"LANGUAGE", "fr"}, {"LC_ALL", "POSIX"}, {"LANG", "de_DE"}}, {"en-US"}, "en_US_POSIX"},
        // LC_ALL, then LC_MESSAGES, then LANG; an empty variable counts as not set.
        {{{"LC_ALL", "it_IT.UTF-8"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "de_DE"}}, {"it-IT"}, "it_IT"},
        {{{"LC_ALL", ""}, {"LC_MESSAGES", "fr_FR.ISO-8859-15@euro"}, {"LANG", "de_DE"}}, {"fr-FR"}, "fr_FR"},
        {{{"LC_MESSAGES", "C"}, {"LANG", "de_DE"}}, {"en-US"}, "en_US_POSIX"},
        {{{"LC_CTYPE", "fr_FR.UTF-8"}, {"LANG", "es_ES.UTF-8"}}, {"es-ES"}, "es_ES"},
    };
    for (const tCase& c : cases) {
        const DETAIL::tEnvironmentLookup getenv = [&](const char* name) -> const char* {
            const auto found = c.environment.find(name);
            return found == c.environment.end() ? nullptr : found->second.c_str();
        };
        std::string described;
        for (const auto& [name, value] : c.environment)
            described += name + "=\"" + value + "\" ";
        EXPECT_EQ(DETAIL::preferredLanguages(getenv), c.languages) << described;
        EXPECT_EQ(DETAIL::currentLocaleIdentifier(getenv), c.locale) << described;
    }
}

TEST(SystemLanguage, NoEnvironmentAtAll)
{
    EXPECT_EQ(DETAIL::preferredLanguages(nullptr), std::vector<std::string>{"en-US"});
    EXPECT_EQ(DETAIL::currentLocaleIdentifier(nullptr), "en_US_POSIX");
}

}  // namespace
