#include "UIA/AppTarget.h"
#include "UIA/Application.h"
#include "UIA/CommandIds.h"
#include "UIA/CursorManager.h"
#include "UIA/Window.h"
#include "UIA/WindowHost.h"

#include <AppKit/AppKit.h>

namespace QV::UIA::DETAIL {

namespace {

using objc::msgSend;

const objc::Selector s_sharedApplication{"sharedApplication"};
const objc::Selector s_mainMenu{"mainMenu"};
const objc::Selector s_setMainMenu{"setMainMenu:"};
const objc::Selector s_performKeyEquivalent{"performKeyEquivalent:"};
const objc::Selector s_performAfterDelay{"performSelector:withObject:afterDelay:"};
const objc::Selector s_terminate{"terminate:"};
const objc::Selector s_hide{"hide:"};
const objc::Selector s_hideOthers{"hideOtherApplications:"};

id sharedApplication() { return msgSend<id>(objc_getClass("NSApplication"), s_sharedApplication); }

}  // namespace

// What the windows reach of the application while it exists.
class ImplApplication::Host : public WindowHost {
public:
    explicit Host(Application* application) : m_pApplication(application) {}

    bool sendApplicationEvent(unsigned code, EventData* data) override { return m_pApplication->sendEvent(code, data); }
    bool sendWindowEventToApplication(unsigned code, EventData* data, WindowBase* window) override
    {
        Application::WndEventExtra extra;
        extra.window = window;
        return m_pApplication->sendWndEvent(code, data, extra);
    }
    void addWindow(WindowBase* window) override { Application::addWindow(window); }
    void removeWindow(WindowBase* window) override
    {
        Application::removeWindow(window);
        if (static_cast<WindowBase*>(m_pApplication->getMainWindow()) == window)
            m_pApplication->setMainWindow(nullptr);
    }
    void setMainWindow(WindowBase* window) override
    {
        m_pApplication->setMainWindow(dynamic_cast<MainWindow*>(window));
    }
    bool isQuitting() const override { return m_pApplication->isQuitRequested(); }
    void postQuit() override { m_pApplication->postQuit(); }
    void setSystemCursor(void* cursor) override { CursorManager::setSystemCursor(cursor); }
    int appTarget() const override { return *AppTarget::instance(); }
    int acceleratorCommand(uint32_t key) const override { return m_pApplication->getAccelerators().getCommand(key); }
    bool mainMenuPerformKeyEquivalent(id event) override
    {
        id menu = msgSend<id>(sharedApplication(), s_mainMenu);
        return menu && msgSend<BOOL, id>(menu, s_performKeyEquivalent, event);
    }
    void hideApplication(bool others) override
    {
        msgSend<void, id>(sharedApplication(), others ? s_hideOthers : s_hide, nil);
    }

private:
    Application* m_pApplication;
};

ImplApplication::ImplApplication(Application* application) : m_pHost(std::make_unique<Host>(application))
{
    m_pPreviousHost = WindowHost::install(m_pHost.get());
}

ImplApplication::~ImplApplication()
{
    if (&WindowHost::get() == m_pHost.get())
        WindowHost::install(m_pPreviousHost);
}

void ImplApplication::postCommandExecuteEvent(int command)
{
    if (command != eCommandQuit)
        return;
    // After the current event: the delegate then answers from the application's quit request.
    msgSend<void, SEL, id, double>(sharedApplication(), s_performAfterDelay, s_terminate, nil, 0.0);
}

void ImplApplication::setMainMenu(id menu)
{
    if (menu)
        msgSend<void, id>(sharedApplication(), s_setMainMenu, menu);
}

}  // namespace QV::UIA::DETAIL
