#include "SystemInfo/LocaleEnvironment.h"

#include <algorithm>
#include <sstream>

namespace QV::GP::DETAIL {

namespace {

constexpr const char* kCLocaleIdentifier = "en_US_POSIX";

bool isCLocale(const std::string& posixName)
{
    const std::string name = posixName.substr(0, posixName.find_first_of(".@"));
    return name == "C" || name == "POSIX";
}

std::string languageTag(const std::string& posixName)
{
    if (isCLocale(posixName))
        return "en-US";
    std::string tag = localeIdentifier(posixName);
    std::replace(tag.begin(), tag.end(), '_', '-');
    return tag;
}

}  // namespace

std::string messagesLocale(const tEnvironmentLookup& getenv)
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = getenv ? getenv(name) : nullptr;
        if (value && *value)
            return value;
    }
    return "C";
}

std::string localeIdentifier(const std::string& posixName)
{
    if (isCLocale(posixName))
        return kCLocaleIdentifier;
    return posixName.substr(0, posixName.find_first_of(".@"));
}

std::string currentLocaleIdentifier(const tEnvironmentLookup& getenv)
{
    return localeIdentifier(messagesLocale(getenv));
}

std::vector<std::string> preferredLanguages(const tEnvironmentLookup& getenv)
{
    const std::string locale = messagesLocale(getenv);
    std::vector<std::string> languages;
    const char* list = getenv ? getenv("LANGUAGE") : nullptr;
    if (list && !isCLocale(locale)) {
        std::istringstream entries(list);
        std::string entry;
        while (std::getline(entries, entry, ':')) {
            if (!entry.empty())
                languages.push_back(languageTag(entry));
        }
    }
    if (languages.empty())
        languages.push_back(languageTag(locale));
    return languages;
}

}  // namespace QV::GP::DETAIL
