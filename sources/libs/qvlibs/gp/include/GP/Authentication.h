// The record of the process's rights: whether it runs with root's rights, set by the library start.
#pragma once

#include "GP/CriticalSection.h"

namespace QV::GP {

class Authentication {
public:
    // Records whether the process runs as root (effective and real user id 0), on every call. The
    // first call marks the record inited, creates its lock and returns true; later calls return false.
    static bool init();

    // When inited: destroys the lock and clears the inited mark.
    static void deInit();

    static bool isInited();
    static bool isProcessElevated();

private:
    static bool s_bProcessElevated;
    static bool s_bInited;
    // Made by the first init() and destroyed by deInit().
    static CriticalSection* s_pLock;
};

}  // namespace QV::GP
