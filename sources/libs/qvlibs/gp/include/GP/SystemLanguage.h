// The few interface languages the system information tells apart, and the mapping from a locale or
// language identifier to them.
#pragma once

#include "GP/CharSequence.h"

#include <CoreFoundation/CoreFoundation.h>

namespace QV::GP {

enum eSystemLanguage : unsigned {
    eLanguageEnglish = 0,
    eLanguageFrench = 1,
    eLanguageGerman = 2,
    eLanguageJapanese = 3,
    eLanguageSpanish = 4,
    eLanguageOther = 5,
    eLanguageItalian = 6,
};

// The language of an identifier such as "de_CH", "pt-BR" or "en_US_POSIX": its first two characters
// compared case-sensitively with "en", "fr", "de", "ja", "es" and "it", so "EN" is eLanguageOther.
// Null or empty gives eLanguageOther.
eSystemLanguage convertMacLocaleToSystemLanguage(CFStringRef identifier);
eSystemLanguage convertLocaleToSystemLanguage(const CharSequence<char>& identifier);

}  // namespace QV::GP
