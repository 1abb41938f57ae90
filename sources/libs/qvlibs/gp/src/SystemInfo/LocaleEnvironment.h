// The user's language and locale from the environment, read the way GNU gettext and ICU read it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

// Looks an environment variable up: null when it is not set.
using tEnvironmentLookup = std::function<const char*(const char* name)>;

// The locale that names the messages' language: the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty; "C" when none is.
std::string messagesLocale(const tEnvironmentLookup& getenv);

// The identifier of a POSIX locale name, without its codeset and modifier: "de_DE.UTF-8" ->
// "de_DE", "sr_RS@latin" -> "sr_RS". The C locale ("C", "POSIX", "C.UTF-8") has English messages
// and is "en_US_POSIX", as ICU names it.
std::string localeIdentifier(const std::string& posixName);

// The current locale's identifier: localeIdentifier(messagesLocale()).
std::string currentLocaleIdentifier(const tEnvironmentLookup& getenv);

// The user's languages, most preferred first, as language tags ("pt-BR", "fr"): the entries of
// LANGUAGE ("pt_BR:fr"), unless the messages locale is the C locale, which ignores LANGUAGE as
// gettext does; else the messages locale's language alone. Never empty.
std::vector<std::string> preferredLanguages(const tEnvironmentLookup& getenv);

}  // namespace QV::GP::DETAIL
