#include "Strings/CaseFolding.h"

#include "GP/StringUtil.h"

#include <stdexcept>

namespace QV::GP::DETAIL {

std::locale firstInstalledLocale(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        try {
            return std::locale(name);
        } catch (const std::runtime_error&) {
            // not installed here: try the next one
        }
    }
    return std::locale::classic();
}

const std::locale& caseFoldingLocale()
{
    static const std::locale s_locale = firstInstalledLocale({"en_US.UTF-8", "C.UTF-8"});
    return s_locale;
}

char32_t toUpperCodePoint(char32_t c)
{
    // wchar_t holds a whole code point on Linux.
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "wchar_t must hold UTF-32");
    if (c > 0x10FFFF)
        return c;
    static const std::ctype<wchar_t>& s_ctype = std::use_facet<std::ctype<wchar_t>>(caseFoldingLocale());
    return static_cast<char32_t>(s_ctype.toupper(static_cast<wchar_t>(c)));
}

}  // namespace QV::GP::DETAIL
