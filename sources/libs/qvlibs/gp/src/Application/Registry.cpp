#include "GP/Registry.h"

namespace QV::GP {

Registry::Impl* Registry::s_pImpl = nullptr;
std::recursive_mutex DETAIL::Autolock::s_mutex;

bool Registry::get(const char* key, std::vector<std::string>& values, eGetMode mode)
{
    const std::lock_guard<std::recursive_mutex> lock(DETAIL::Autolock::s_mutex);
    // Without a store there is nothing to read; the caller gets "not found" rather than a crash.
    if (!s_pImpl || !key)
        return false;
    return s_pImpl->get(key, values, mode);
}

void Registry::install(std::unique_ptr<Impl> impl)
{
    const std::lock_guard<std::recursive_mutex> lock(DETAIL::Autolock::s_mutex);
    deInit();
    s_pImpl = impl.release();
}

bool Registry::deInit()
{
    const std::lock_guard<std::recursive_mutex> lock(DETAIL::Autolock::s_mutex);
    if (s_pImpl) {
        s_pImpl->shutdown();
        delete s_pImpl;
        s_pImpl = nullptr;
    }
    return true;
}

bool Registry::isInstalled()
{
    const std::lock_guard<std::recursive_mutex> lock(DETAIL::Autolock::s_mutex);
    return s_pImpl != nullptr;
}

}  // namespace QV::GP
