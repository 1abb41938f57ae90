#include "Updater/FirmwareUpdaterApp.h"

#include "GP/Message.h"
#include "PXT/StyleSheetManager.h"
#include "PXT/Window.h"
#include "UIA/CommandIds.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/External.h"
#include "UIA/HMenu.h"
#include "UIA/Window.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "Updater/WizardWidgetNames.h"
#include "UpdaterSettings.h"

#include <boost/bind/bind.hpp>

#include <memory>

namespace QV {

namespace {

using WizardWindow = PXT::Window<UIA::StandaloneWindow>;

}  // namespace

FirmwareUpdaterApp::tHelpLinks FirmwareUpdaterApp::tHelpLinks::fromBuildSettings()
{
    return {Settings::kKnowledgeBaseUrl, Settings::kHomePageUrl};
}

FirmwareUpdaterApp::FirmwareUpdaterApp(const FirmwareUpdaterConfig& config, tHelpLinks links)
    : m_config(config), m_links(std::move(links))
{}

FirmwareUpdaterApp::~FirmwareUpdaterApp() { m_about.clear(); }

bool FirmwareUpdaterApp::init()
{
    setApplicationTitle(m_config.m_applicationTitle.c_str());
    if (!Application::init())
        return false;
    m_bBaseInitialized = true;
    if (UIA::ApplicationInstanceSingleton::hasConflictingInstance(m_config.m_singleInstanceId,
                                                                  UIA::ApplicationInstanceSingleton::eModeDefault))
        return false;  // another copy runs: end quietly
    PXT::StyleSheetManager::get()->loadDefault("FirmwareUpdaterStyles.txt");
    installMenu();

    auto wizard = std::make_shared<UpdateWizardMainWidget>(m_config.wizardTexts());
    m_about = boost::bind(&UpdateWizardMainWidget::showAbout, wizard);
    // The first page and the first scan, before any window exists.
    wizard->run(m_config.m_connectInNormalMode, m_config.m_resetIntoUpdateMode, m_config.m_connectInUpdateMode,
                m_config.m_performUpdate, m_config.m_getDeviceInfo, m_config.m_isControllerRefused);

    auto* window = new WizardWindow();
    window->setAutoDelete(true);
    window->setRoot(wizard, WizardNames::kMainWidget);
    UIA::Window::CreateData data;
    data.setTitle(m_config.m_windowTitle.c_str());
    data.flags |= UIA::WindowBase::eCreateFlagSize | UIA::WindowBase::eCreateFlagUpdater;
    data.rect = GP::Rect(0, 0, kWindowWidth, kWindowHeight);
    data.style = UIA::WindowBase::eStyleFixedSize;
    if (!window->create(data)) {
        // Without its window the program could only hang: it ends instead.
        delete window;
        return false;
    }
    window->setWindowIcon(getModuleOwner(), 1);
    window->show(true);
    return true;  // the window deletes itself when its platform window goes away
}

void FirmwareUpdaterApp::installMenu()
{
    UIA::HMenuBar bar;
    bar.create();
    UIA::HPopupMenu help;
    help.create();
    const auto flagsFor = [](const std::string& url) { return url.empty() ? unsigned(UIA::eMenuItemDisabled) : 0u; };
    help.insertCommandAt(-1, "Visit the Knowledge Base", eCommandKnowledgeBase, flagsFor(m_links.knowledgeBase), 0);
    help.insertCommandAt(-1, "Visit Orvendal on the web", eCommandHomePage, flagsFor(m_links.homePage), 0);
    bar.insertSubMenuAt(-1, "&Help", help);
    setMenu(bar);
}

void FirmwareUpdaterApp::deInit(bool initResult)
{
    if (!m_bBaseInitialized)
        return;
    m_bBaseInitialized = false;
    Application::deInit(initResult);
}

bool FirmwareUpdaterApp::onEvent(unsigned code, UIA::EventData* data)
{
    if (code == UIA::eEventAppQueryQuit)
        return onQueryQuit(data);
    if (code == UIA::eEventCommandValidate && data) {
        // A Help item without an address stays disabled when its menu validates its items.
        auto* menu = static_cast<UIA::MenuEventData*>(data);
        if ((menu->commandId == eCommandKnowledgeBase || menu->commandId == eCommandHomePage) && menu->menu) {
            const std::string& url =
                menu->commandId == eCommandKnowledgeBase ? m_links.knowledgeBase : m_links.homePage;
            menu->menu->enableItemId(menu->commandId, !url.empty());
            return true;
        }
    }
    if (code == UIA::eEventCommandExecute && data) {
        const int command = static_cast<UIA::CommandExecuteEventData*>(data)->commandId;
        switch (command) {
        case eCommandKnowledgeBase:
        case eCommandHomePage: {
            const std::string& url = command == eCommandKnowledgeBase ? m_links.knowledgeBase : m_links.homePage;
            if (!url.empty())
                UIA::External::openURL(url.c_str());  // a failure is not reported
            return true;
        }
        case UIA::eCommandAbout:
            if (m_about)
                m_about();
            return true;
        default: break;
        }
    }
    return Application::onEvent(code, data);
}

bool FirmwareUpdaterApp::onQueryQuit(UIA::EventData* data)
{
    if (!m_config.m_isUpdateRunning())
        return Application::onEvent(UIA::eEventAppQueryQuit, data);
    const GP::Message::eButton answer = GP::Message::show(kQuitQuestion, GP::Message::eTypeYesNo,
                                                          GP::Message::eButtonNo, GP::Message::eIconQuestion, nullptr);
    if (answer == GP::Message::eButtonYes)
        m_config.m_applicationCloseRequest();
    else if (data)
        static_cast<UIA::AllowEventData*>(data)->allow = false;
    return true;
}

}  // namespace QV
