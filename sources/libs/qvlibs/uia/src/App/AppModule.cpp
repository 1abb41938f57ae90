#include "UIA/AppModule.h"

#include "GP/CFString.h"
#include "GP/DSOHandle.h"
#include "GP/Lib.h"
#include "GP/Registry.h"
#include "GP/StringCF.h"
#include "GP/TLS.h"
#include "UIA/ResourceFacade.h"

#include <CoreFoundation/CFBundle.h>

#include <vector>

namespace QV::UIA {

AppModule* AppModule::g_current = nullptr;

namespace {

// The version value of the bundle's Info.plist, false when there is no text.
bool bundleVersion(std::string& out)
{
    auto bundle = static_cast<CFBundleRef>(GP::getCurrentDSOHandle());
    if (!bundle)
        return false;
    for (const char* key : {"CFBundleShortVersionString", "CFBundleVersion"}) {
        CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(bundle, GP::CFString(key));
        if (!value)
            continue;
        if (CFGetTypeID(value) != CFStringGetTypeID())
            return false;
        out = GP::StringCF(static_cast<CFStringRef>(value));
        return true;
    }
    return false;
}

}  // namespace

std::string versionTextOf(const std::string& bundleVersion) { return bundleVersion.substr(0, bundleVersion.find(',')); }

AppModule::AppModule()
{
    if (!g_current)
        g_current = this;
}

AppModule::~AppModule()
{
    destroyApplication();
    if (g_current == this)
        g_current = nullptr;
}

std::string AppModule::getLocale(bool fromRegistry) const
{
    return fromRegistry ? getLocaleInRegistry() : std::string();
}

std::string AppModule::getLocaleInRegistry()
{
    std::vector<std::string> languages;
    if (GP::Registry::get("AppleLanguages", languages, GP::Registry::eGetModeList) && !languages.empty())
        return languages.front();
    return {};
}

bool AppModule::create()
{
    const bool fromRegistry = initRegistry();
    if (GP::getCurrentDSOHandle()) {
        const std::string locale = getLocale(fromRegistry);
        GP::Lib::initLocale(locale.c_str());
    } else {
        GP::Lib::initLocale(nullptr);
    }
    GP::TLS::init();
    m_bInitResult = init();
    return m_bInitResult;
}

bool AppModule::attachApplication(IApplication* app)
{
    if (m_pApplication || !app)
        return false;
    m_pApplication = app;
    app->setModuleOwner(this);
    if (app->init())
        return true;
    app->deInit(false);
    return false;
}

void AppModule::destroyApplication()
{
    IApplication* app = m_pApplication;
    if (!app)
        return;
    app->deInit(m_bInitResult);
    app->setModuleOwner(nullptr);
    m_pApplication = nullptr;
    delete app;
}

bool AppModule::getVersionInfo(std::string& out)
{
    std::string version;
    if (!bundleVersion(version)) {
        out += "?.??.???";
        return false;
    }
    out = versionTextOf(version);
    return true;
}

bool AppModuleStartup::init()
{
    AppModule* module = AppModule::getCurrentModule();
    return module && module->create();
}

void AppModuleStartup::deInit()
{
    AppModule* module = AppModule::getCurrentModule();
    if (!module)
        return;
    module->deInit(module->getInitResult());
    ResourceFacade::clearResourceMap();
}

}  // namespace QV::UIA
