#include "GP/SystemLanguage.h"

#include "GP/StringCF.h"

#include <cstring>

namespace QV::GP {

eSystemLanguage convertLocaleToSystemLanguage(const CharSequence<char>& identifier)
{
    struct tLanguage {
        const char* prefix;
        eSystemLanguage language;
    };
    static constexpr tLanguage kLanguages[] = {
        {"en", eLanguageEnglish},  {"fr", eLanguageFrench},  {"de", eLanguageGerman},
        {"ja", eLanguageJapanese}, {"es", eLanguageSpanish}, {"it", eLanguageItalian},
    };
    if (identifier.size() < 2)
        return eLanguageOther;
    for (const tLanguage& entry : kLanguages) {
        if (std::memcmp(identifier.data(), entry.prefix, 2) == 0)
            return entry.language;
    }
    return eLanguageOther;
}

eSystemLanguage convertMacLocaleToSystemLanguage(CFStringRef identifier)
{
    return convertLocaleToSystemLanguage(StringCF(identifier));
}

}  // namespace QV::GP
