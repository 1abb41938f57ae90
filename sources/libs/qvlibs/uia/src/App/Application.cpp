#include "UIA/Application.h"

#include "UIA/AppModule.h"
#include "UIA/CommandIds.h"
#include "UIA/DisplayManager.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"

#include <algorithm>

namespace QV::UIA {

std::vector<WindowBase*> Application::s_listWindows;

namespace {

constexpr unsigned kFirstCommandCode = 1200;
constexpr unsigned kLastCommandCode = 1299;

EventTarget* currentApplication() { return Application::getApplication(); }

}  // namespace

Application::Application() : m_powerManager([this] { onSystemSleep(); }, [this] { onSystemWake(); })
{
    setDragDropDelegate(makeWindowingDragDropDelegate());
    m_pImpl = std::make_unique<DETAIL::ImplApplication>(this);
    DisplayManager::setApplicationLookup(&currentApplication);
}

Application::Application(const EventTimerManager::tBridgeFactory& makeTimerBridge)
    : m_powerManager([this] { onSystemSleep(); }, [this] { onSystemWake(); }), m_timers(makeTimerBridge)
{
    setDragDropDelegate(makeWindowingDragDropDelegate());
    m_pImpl = std::make_unique<DETAIL::ImplApplication>(this);
    DisplayManager::setApplicationLookup(&currentApplication);
}

Application::~Application() { m_pImpl.reset(); }

Application* Application::getApplication()
{
    AppModule* module = AppModule::getCurrentModule();
    if (!module)
        return nullptr;
    return dynamic_cast<Application*>(module->getApplication());
}

bool Application::init()
{
    // Without a display there is no display list; the application runs all the same.
    DisplayManager::init();
    return true;
}

void Application::deInit(bool) { DisplayManager::deInit(); }

bool Application::sendEvent(unsigned code, EventData* data)
{
    const bool wasQuitting = m_bQuitRequested;
    WndEventExtra extra;
    extra.window = m_pMainWindow;
    const bool result = sendWndEvent(code, data, extra);
    if (!wasQuitting && m_bQuitRequested)
        m_pImpl->postCommandExecuteEvent(eCommandQuit);
    return result;
}

bool Application::onWndEvent(unsigned code, EventData* data, const WndEventExtra& extra)
{
    if (code >= kFirstCommandCode && code <= kLastCommandCode && extra.window && extra.window->sendEvent(code, data))
        return true;
    return onEvent(code, data);
}

bool Application::onEvent(unsigned code, EventData* data)
{
    if (code != eEventCommandExecute || !data || static_cast<CommandExecuteEventData*>(data)->commandId != eCommandQuit)
        return false;
    AllowEventData query;
    onEvent(eEventAppQueryQuit, &query);
    if (query.allow) {
        m_pMainWindow = nullptr;
        m_bQuitRequested = true;
    }
    return true;
}

void Application::postQuit()
{
    m_bQuitRequested = true;
    m_pImpl->postCommandExecuteEvent(eCommandQuit);
}

void Application::setMenu(const HMenuBar& bar)
{
    m_menuBar = bar;
    m_pImpl->setMainMenu(bar.getMenu());
    for (const auto& [key, command] : HMenu::s_mapCommandShortcuts)
        m_accelerators.add(key, command);
}

void Application::addWindow(WindowBase* window)
{
    if (window && std::find(s_listWindows.begin(), s_listWindows.end(), window) == s_listWindows.end())
        s_listWindows.push_back(window);
}

void Application::removeWindow(WindowBase* window)
{
    s_listWindows.erase(std::remove(s_listWindows.begin(), s_listWindows.end(), window), s_listWindows.end());
}

void Application::destroyAllWindows()
{
    if (Application* application = getApplication())
        application->m_pMainWindow = nullptr;
    while (!s_listWindows.empty()) {
        WindowBase* window = s_listWindows.front();
        s_listWindows.erase(s_listWindows.begin());
        // Destroying may delete the window (auto-delete) and take it off the list; it is off already.
        if (window->getImpl())
            window->destroy();
    }
}

}  // namespace QV::UIA
