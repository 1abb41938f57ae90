#include "Locale/LocaleChoice.h"

#include "GP/GetText.h"

#include <algorithm>
#include <system_error>

namespace QV::GP {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* getLocaleIdentifier(const char* languageId)
{
    const std::string key = DETAIL::languageKey(languageId ? languageId : "");
    if (key == "ja")
        return "JPN";
    if (key == "fr")
        return "FRA";
    if (key == "de")
        return "DEU";
    if (key == "it")
        return "ITA";
    if (key == "es")
        return "SPA";
    return "ENG";
}

namespace DETAIL {

std::string languageKey(const std::string& identifier)
{
    if (identifier.size() < 2 || !isAsciiLetter(identifier[0]) || !isAsciiLetter(identifier[1]))
        return std::string();
    std::string key{lower(identifier[0]), lower(identifier[1])};
    if (key == "jp")
        return "ja";
    if (key == "sp")
        return "es";
    return key;
}

std::string preferredLocalization(const std::vector<std::string>& localizations,
                                  const std::vector<std::string>& userLanguages)
{
    if (localizations.empty())
        return std::string();
    auto withLanguage = [&localizations](const std::string& key) {
        return std::find_if(localizations.begin(), localizations.end(),
                            [&key](const std::string& localization) { return languageKey(localization) == key; });
    };
    for (const std::string& language : userLanguages) {
        const std::string key = languageKey(language);
        if (key.empty())
            continue;
        const auto found = withLanguage(key);
        if (found != localizations.end())
            return *found;
    }
    const auto english = withLanguage("en");
    return english != localizations.end() ? *english : localizations.front();
}

std::filesystem::path resourcesFolder(const std::filesystem::path& bundle) { return bundle / "Contents" / "Resources"; }

std::vector<std::string> bundleLocalizations(const std::filesystem::path& bundle)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(resourcesFolder(bundle), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::filesystem::path& path = entries->path();
        if (path.extension() == ".lproj" && !path.stem().empty() && entries->is_directory(error))
            names.push_back(path.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string chooseLocale(const char* localeId, bool hasBundle, const std::vector<std::string>& localizations,
                         const std::vector<std::string>& userLanguages)
{
    if (!hasBundle)
        return localeId ? getLocaleIdentifier(localeId) : GetTextLoader::kUntranslated;
    if (localeId && *localeId)
        return getLocaleIdentifier(localeId);
    const std::string preferred = preferredLocalization(localizations, userLanguages);
    return preferred.empty() ? "ENG" : getLocaleIdentifier(preferred.c_str());
}

}  // namespace DETAIL

}  // namespace QV::GP
