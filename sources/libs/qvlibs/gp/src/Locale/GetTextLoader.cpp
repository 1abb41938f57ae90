#include "GP/GetText.h"

#include "GP/FileManager.h"
#include "GP/MemoryStream.h"
#include "Locale/LocaleChoice.h"
#include "SystemInfo/LocaleEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

namespace QV::GP {

char GetTextLoader::s_Locale[kLocaleSize] = {};

void GetTextLoader::initLocale(const char* localeId)
{
    const std::filesystem::path& bundle = getCurrentBundlePath();
    const bool hasBundle = !bundle.empty();
    std::vector<std::string> localizations, languages;
    if (hasBundle && !(localeId && *localeId)) {
        localizations = DETAIL::bundleLocalizations(bundle);
        languages = DETAIL::preferredLanguages([](const char* name) { return std::getenv(name); });
    }
    std::string code = DETAIL::chooseLocale(localeId, hasBundle, localizations, languages);
    if (code.empty())
        code = kUntranslated;
    const std::size_t length = std::min(code.size(), kLocaleSize - 1);
    std::memcpy(s_Locale, code.data(), length);
    s_Locale[length] = '\0';
}

bool GetTextLoader::hasLocale() { return s_Locale[0] != '\0' && std::strcmp(s_Locale, kUntranslated) != 0; }

bool GetTextLoader::loadLocaleDomain(const char* domain, const char* locale)
{
    const std::filesystem::path& bundle = getCurrentBundlePath();
    if (bundle.empty() || !domain || !locale)
        return false;
    return loadCatalogueFile(DETAIL::resourcesFolder(bundle) / (std::string(locale) + ".lproj") /
                             (std::string(domain) + ".mo"));
}

bool GetTextLoader::loadCatalogueFile(const std::filesystem::path& path)
{
    // Only a regular file: reading a folder fails, and a device could be endless.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::vector<char> bytes;
    char chunk[4096];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    MemoryStream stream;
    stream.storage().init(IStorage::eAccessRead, bytes.data(), bytes.size());
    return loadDomain(stream);
}

}  // namespace QV::GP
