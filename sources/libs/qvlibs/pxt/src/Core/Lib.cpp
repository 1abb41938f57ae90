#include "PXT/Lib.h"

#include "GP/Assertion.h"
#include "GP/Lib.h"
#include "GP/Region.h"
#include "PXT/ManagerContainer.h"

namespace QV::PXT {

namespace {
// The check's report names this source and line; they stay fixed so that reports from different
// builds read the same.
constexpr const char* kSource = "../sources/libs/qvlibs/pxt/Core/src/Init_PXT";
constexpr int kLineAlreadyStarted = 27;
}  // namespace

ManagerContainer* Lib::s_managerContainer = nullptr;
bool Lib::s_initialized = false;
bool Lib::s_searchSkinDirectory = false;
bool Lib::s_useFontHinting = false;

bool Lib::init()
{
    if (s_initialized)
        GP::Assertion::DoFail(kSource, kLineAlreadyStarted, nullptr);
    GP::Lib::checkVersionAndFlavour(kRequiredCoreVersion, kRequiredCoreFlavour);
    GP::Region::init();
    ManagerContainer* old = s_managerContainer;
    s_managerContainer = nullptr;
    delete old;
    s_managerContainer = new ManagerContainer();
    s_initialized = true;
    return true;
}

void Lib::deInit()
{
    ManagerContainer* old = s_managerContainer;
    s_managerContainer = nullptr;
    delete old;
    GP::Region::deInit();
    s_initialized = false;
}

}  // namespace QV::PXT
