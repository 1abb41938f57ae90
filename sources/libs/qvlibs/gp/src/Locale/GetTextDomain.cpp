#include "GP/GetText.h"

namespace QV::GP {

const std::string& GetTextDomain<const char*, std::string>::get(const char* const& key)
{
    static const std::string s_empty;
    if (!key)
        return s_empty;
    // An assertion may ask for button titles on any thread.
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto cached = m_cache.find(key);
    if (cached != m_cache.end())
        return cached->second;
    const std::string* translation = m_loader.find(key);
    return m_cache.emplace(key, translation ? *translation : std::string(key)).first->second;
}

GetTextDomain<const char*, std::string>& GetLibraryTextDomain()
{
    struct LibraryDomain {
        LibraryDomain()
        {
            if (GetTextLoader::hasLocale())
                domain.loader().loadLocaleDomain("lib", GetTextLoader::s_Locale);
        }
        GetTextDomain<const char*, std::string> domain;
    };
    static LibraryDomain s_library;
    return s_library.domain;
}

}  // namespace QV::GP
