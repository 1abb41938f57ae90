#include "GP/TLS.h"

namespace QV::GP {

pthread_key_t TLS::s_aThreadFlagKey = 0;
bool TLS::s_bKeyCreated = false;
bool TLS::s_bIsInit = false;
TLS::tKeyCalls TLS::s_keyCalls = {pthread_key_create, pthread_key_delete};

void TLS::init()
{
    if (s_bIsInit)
        return;
    pthread_key_t key = 0;
    // The key's value says nothing about success: the system may well hand out key 0.
    s_bKeyCreated = s_keyCalls.create(&key, nullptr) == 0;
    s_aThreadFlagKey = s_bKeyCreated ? key : 0;
    s_bIsInit = true;
}

void TLS::deInit()
{
    if (s_bKeyCreated)
        s_keyCalls.remove(s_aThreadFlagKey);
    s_aThreadFlagKey = 0;
    s_bKeyCreated = false;
    s_bIsInit = false;
}

TLS::tKeyCalls TLS::setKeyCalls(const tKeyCalls& calls)
{
    const tKeyCalls previous = s_keyCalls;
    s_keyCalls = calls;
    return previous;
}

}  // namespace QV::GP
