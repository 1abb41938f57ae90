#include "UIA/Lib.h"

#include "GP/Assertion.h"
#include "GP/Lib.h"
#include "Keys/Keys.h"
#include "UIA/AsyncEventTargetImpl.h"
#include "UIA/CursorManager.h"
#include "UIA/HMenu.h"

namespace QV::UIA {

bool Lib::s_bInitialized = false;

namespace {

// The source named in the assertions of a refused start.
constexpr const char* kAssertionSource = "Init_UIA";

}  // namespace

bool Lib::tryInit(int version, int flavour)
{
    GP::Lib::checkVersionAndFlavour(GP::Lib::kVersion, GP::Lib::kFlavour);
    if (version != kVersion)
        GP::Assertion::DoFail(kAssertionSource, 150, nullptr);
    if ((flavour & 0xFFFF) != kFlavour)
        GP::Assertion::DoFail(kAssertionSource, 153, nullptr);
    if (flavour >= 0x10000)
        GP::Assertion::DoFail(kAssertionSource, 156, nullptr);

    DETAIL::Keys::init();
    HMenu::s_bInit = true;
    if (!CursorManager::s_bInit) {
        CursorManager::s_bInit = true;
        const CursorManager::RegistrationHandle registration = CursorManager::openRegistration();
        CursorManager::registerDefaultCursors();
        CursorManager::closeRegistration(registration);
        CursorManager::s_hStdRegistration = registration;
    }
    return AsyncEventTargetImpl::init(false);
}

bool Lib::init(int version, int flavour)
{
    bool started = false;
    try {
        started = tryInit(version, flavour);
    } catch (...) {
        started = false;
    }
    if (!started) {
        deInit();
        return false;
    }
    s_bInitialized = true;
    return true;
}

void Lib::deInit()
{
    AsyncEventTargetImpl::deInit();
    if (CursorManager::s_bInit) {
        CursorManager::destroyDefaultCursors();
        CursorManager::unregister(CursorManager::s_hStdRegistration);
        CursorManager::s_hStdRegistration = CursorManager::kInvalidRegistration;
        CursorManager::s_bInit = false;
    }
    HMenu::s_bInit = false;
    s_bInitialized = false;
}

}  // namespace QV::UIA
