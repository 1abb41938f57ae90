#include "GP/Authentication.h"

#include <unistd.h>

namespace QV::GP {

bool Authentication::s_bProcessElevated = false;
bool Authentication::s_bInited = false;
CriticalSection* Authentication::s_pLock = nullptr;

bool Authentication::init()
{
    s_bProcessElevated = geteuid() == 0 && getuid() == 0;
    if (s_bInited)
        return false;
    s_bInited = true;
    if (!s_pLock)
        s_pLock = CriticalSection::create();
    return true;
}

void Authentication::deInit()
{
    if (!s_bInited)
        return;
    CriticalSection::destroy(s_pLock);
    s_pLock = nullptr;
    s_bInited = false;
}

bool Authentication::isInited() { return s_bInited; }

bool Authentication::isProcessElevated() { return s_bProcessElevated; }

}  // namespace QV::GP
