// The process's application object: the event target of last resort, the owner of the process-wide
// services (power notices, the menu bar, the keyboard-shortcut table, the timer service), the keeper
// of the main window and of the list of all windows, and the one place where quitting is decided.
// Programs derive from it and override init, deInit and onEvent; the platform's loop runs the
// program.
//
// Quitting: eEventCommandExecute with eCommandQuit (the Quit item, Ctrl+Q, or the platform's own
// termination through the delegate) asks eEventAppQueryQuit; when allowed, quitting is requested and
// sendEvent asks the platform to terminate once the current event is handled. postQuit quits without
// asking.
//
// Main thread only.
#pragma once

#include "UIA/AcceleratorManager.h"
#include "UIA/EventTarget.h"
#include "UIA/EventTimerManager.h"
#include "UIA/HMenu.h"
#include "UIA/IApplication.h"
#include "UIA/PowerManager.h"

#include <memory>
#include <string>
#include <vector>

namespace QV::UIA {

class MainWindow;
class WindowBase;

namespace DETAIL {
class ImplApplication;
class WindowHost;
}  // namespace DETAIL

class Application : public EventTarget, public IApplication {
public:
    // The window an event is sent on behalf of.
    struct WndEventExtra {
        WindowBase* window = nullptr;
    };

    Application();
    // With another timer service (tests drive the ticks themselves).
    explicit Application(const EventTimerManager::tBridgeFactory& makeTimerBridge);
    ~Application() override;

    // Offers the event to the main window (command codes) and to onEvent; when quitting was decided
    // during it, asks the platform to terminate after the current event.
    bool sendEvent(unsigned code, EventData* data) override;
    // eCommandQuit: asks eEventAppQueryQuit and, when allowed, forgets the main window and requests
    // quitting; handled either way. Anything else: not handled.
    bool onEvent(unsigned code, EventData* data) override;

    // DisplayManager::init; true. Derived applications call it from their own init.
    bool init() override;
    void deInit(bool initResult) override;
    // Quitting without a question: the platform terminates after the current event.
    void postQuit() override;
    int run() override { return -1; }
    void setModuleOwner(AppModule* module) override { m_pModuleOwner = module; }

    virtual std::string getHostName() const { return "Standalone"; }
    virtual int getHostVersion() const { return 0; }
    virtual std::string getHostVersionString() const { return {}; }
    // Codes 1200-1299 with a window go to that window first; everything else, and what it leaves,
    // to onEvent.
    virtual bool onWndEvent(unsigned code, EventData* data, const WndEventExtra& extra);
    virtual void onSystemSleep() {}
    virtual void onSystemWake() {}

    bool sendWndEvent(unsigned code, EventData* data, const WndEventExtra& extra)
    {
        return onWndEvent(code, data, extra);
    }

    // The application of the current module; null without module or application.
    static Application* getApplication();

    // Null gives the empty title.
    void setApplicationTitle(const char* title) { m_strTitle = title ? title : ""; }
    const std::string& getApplicationTitle() const { return m_strTitle; }
    void setMainWindow(MainWindow* window) { m_pMainWindow = window; }
    MainWindow* getMainWindow() const { return m_pMainWindow; }
    bool isQuitRequested() const { return m_bQuitRequested; }
    AppModule* getModuleOwner() const { return m_pModuleOwner; }

    // Makes the bar's menu the platform's main menu and copies the menus' shortcuts into the
    // accelerator table.
    void setMenu(const HMenuBar& bar);
    const HMenuBar& getMenu() const { return m_menuBar; }
    const AcceleratorManager& getAccelerators() const { return m_accelerators; }

    // The process's windows, in registration order; not owned.
    static void addWindow(WindowBase* window);
    static void removeWindow(WindowBase* window);
    // Forgets the main window, then destroys every listed window that still has its platform
    // window, first registered first, until the list is empty.
    static void destroyAllWindows();
    static const std::vector<WindowBase*>& getWindows() { return s_listWindows; }

private:
    friend class DETAIL::ImplApplication;

    std::unique_ptr<DETAIL::ImplApplication> m_pImpl;
    AppModule* m_pModuleOwner = nullptr;
    std::string m_strTitle;
    MainWindow* m_pMainWindow = nullptr;
    bool m_bQuitRequested = false;
    bool m_bHighResolution = false;
    PowerManager m_powerManager;
    HMenuBar m_menuBar;
    AcceleratorManager m_accelerators;
    EventTimerManager m_timers;

    static std::vector<WindowBase*> s_listWindows;
};

namespace DETAIL {

// The application's platform side: termination requests, and the windows' way to the application.
class ImplApplication {
public:
    explicit ImplApplication(Application* application);
    ~ImplApplication();
    ImplApplication(const ImplApplication&) = delete;
    ImplApplication& operator=(const ImplApplication&) = delete;

    // eCommandQuit: the platform terminates after the current event. Other commands are ignored.
    void postCommandExecuteEvent(int command);
    // Makes the menu the platform's main menu; nothing for null.
    void setMainMenu(id menu);

private:
    class Host;

    std::unique_ptr<Host> m_pHost;
    WindowHost* m_pPreviousHost = nullptr;
};

}  // namespace DETAIL

// Whether another copy of this program runs already.
struct ApplicationInstanceSingleton {
    enum Mode {
        eModeDefault = 0
    };
    // False for an empty name (the check is off). Otherwise the first copy to ask holds an exclusive
    // lock on a per-user file named from `name` for the rest of its life, and every later copy,
    // while it runs, is answered true: two copies started at the same moment cannot both go on, nor
    // both end. The file lies in XDG_RUNTIME_DIR, else in the user's cache folder; when neither can
    // hold it the check is off (false) and one line on standard error says so. The mode changes
    // nothing.
    static bool hasConflictingInstance(const std::string& name, Mode mode);
};

}  // namespace QV::UIA
