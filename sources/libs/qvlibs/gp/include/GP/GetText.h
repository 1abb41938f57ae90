// Translations of the platform core's own texts (the button titles of message boxes), gettext style.
//
// The interface language is a three-letter locale code ("ENG", "DEU", "FRA", "ITA", "JPN", "SPA"),
// chosen once at start-up (GetTextLoader::initLocale). A text domain is read from the GNU "mo"
// catalogue <domain>.mo in the bundle's Resources/<code>.lproj folder; a lookup answers the
// translation, or the English text itself when the catalogue has none.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace QV::GP {

class Stream;

// The locale code of a language identifier ("de-CH", "fr_FR", "ja", "DEU"), by its first two
// characters compared case-insensitively: ja/jp JPN, fr FRA, de DEU, it ITA, es/sp SPA; anything
// else, null and the empty text included, ENG. A three-letter code maps onto itself.
const char* getLocaleIdentifier(const char* languageId);

// The translations of one text domain: source text -> translation.
class GetTextLoader {
public:
    // The interface locale: a code of at most 15 characters, NUL-terminated; empty until
    // initLocale(); kUntranslated when there is nothing to translate into.
    static constexpr std::size_t kLocaleSize = 16;
    static char s_Locale[kLocaleSize];
    static constexpr char kUntranslated[] = "\1";

    // Chooses s_Locale. Outside a bundle: untranslated for a null id, else the id's code. Inside
    // one: the code of a non-empty id; for a null or empty id the code of the bundle's localization
    // that the user's languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) prefer, ENG when none does.
    static void initLocale(const char* localeId);
    // True when s_Locale names a locale to load catalogues for (neither empty nor untranslated).
    static bool hasLocale();

    // Loads <domain>.mo from the bundle's Resources/<locale>.lproj folder. False when there is no
    // bundle or no such catalogue, or it is not a catalogue; nothing is loaded then.
    bool loadLocaleDomain(const char* domain, const char* locale);
    // Loads the catalogue file at `path` (see loadDomain).
    bool loadCatalogueFile(const std::filesystem::path& path);

    // Reads a GNU "mo" catalogue from the stream's storage, whose byte 0 is the catalogue's first
    // byte, in the byte order its magic number tells. False for a wrong magic number or revision,
    // or a header cut short; true otherwise. Entries whose texts lie (partly) outside the storage
    // are skipped, as is the header entry (empty source text). Key and translation are taken up to
    // their first NUL (for plural entries: the singular and the first form); a key met again
    // replaces the translation read before.
    bool loadDomain(Stream& stream);

    // The translation of `source`; null when the domain has none.
    const std::string* find(const std::string& source) const;
    std::size_t size() const { return m_translations.size(); }

private:
    std::map<std::string, std::string> m_translations;
};

template <class Key, class Value>
class GetTextDomain;

// A text domain with a cache of the answers by the key's address, so a caller that asks with the
// same literal gets the same string object back every time. Answers stay valid for the life of
// the domain. Lookups may come from any thread.
template <>
class GetTextDomain<const char*, std::string> {
public:
    // The translation of the NUL-terminated `key`, else the key's text; "" for null.
    const std::string& get(const char* const& key);

    GetTextLoader& loader() { return m_loader; }

private:
    std::mutex m_mutex;
    std::map<const char*, std::string> m_cache;
    GetTextLoader m_loader;
};

// The library domain "lib", made and loaded for s_Locale on the first call (thread-safe) and kept
// until the process ends. A locale chosen after the first call is not loaded.
GetTextDomain<const char*, std::string>& GetLibraryTextDomain();

}  // namespace QV::GP
