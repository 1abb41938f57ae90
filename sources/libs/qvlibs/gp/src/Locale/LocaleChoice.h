// How the interface locale is chosen: the pieces of GetTextLoader::initLocale, apart from where
// their facts come from, so tests can hand them in.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// The language part of an identifier that locale codes are compared by: its first two characters
// in lower case, with jp read as ja and sp as es ("DEU" -> "de", "JPN" -> "ja", "pt-BR" -> "pt").
// Empty when the identifier does not begin with two ASCII letters.
std::string languageKey(const std::string& identifier);

// The localization that the user prefers among `localizations`: the first one that shares its
// language with the earliest of `userLanguages` (most preferred first) that any of them has; when
// none does, the English one, else the first. Empty only when there are no localizations.
std::string preferredLocalization(const std::vector<std::string>& localizations,
                                  const std::vector<std::string>& userLanguages);

// The names of the bundle's localizations: the folders "<name>.lproj" in its Contents/Resources,
// sorted. Empty when there are none or the folder cannot be read.
std::vector<std::string> bundleLocalizations(const std::filesystem::path& bundle);

// The locale code initLocale stores: `hasBundle` tells whether the code runs inside a bundle,
// `localizations` and `userLanguages` are as for preferredLocalization. The untranslated mark
// ("\1") outside a bundle for a null id.
std::string chooseLocale(const char* localeId, bool hasBundle, const std::vector<std::string>& localizations,
                         const std::vector<std::string>& userLanguages);

// The folder that holds the bundle's localizations: <bundle>/Contents/Resources.
std::filesystem::path resourcesFolder(const std::filesystem::path& bundle);

}  // namespace QV::GP::DETAIL
