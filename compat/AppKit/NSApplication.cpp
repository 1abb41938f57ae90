// NSApplication (NSApplication.h): the shared application, its loop, termination, the main menu,
// the list of windows and the active state.
#include "AppKit/gtk/GtkMainThread.h"
#include "AppKit/standin/Application.h"
#include "AppKit/standin/DelegateNotification.h"
#include "AppKit/standin/WindowState.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

NSApplication* NSApp = nullptr;

const NSNotificationName NSApplicationWillFinishLaunchingNotification =
    qvcompat::foundation::newString("NSApplicationWillFinishLaunchingNotification");
const NSNotificationName NSApplicationDidFinishLaunchingNotification =
    qvcompat::foundation::newString("NSApplicationDidFinishLaunchingNotification");
const NSNotificationName NSApplicationWillTerminateNotification =
    qvcompat::foundation::newString("NSApplicationWillTerminateNotification");
const NSNotificationName NSApplicationDidBecomeActiveNotification =
    qvcompat::foundation::newString("NSApplicationDidBecomeActiveNotification");
const NSNotificationName NSApplicationDidResignActiveNotification =
    qvcompat::foundation::newString("NSApplicationDidResignActiveNotification");

namespace qvcompat::appkit {

namespace {

const objc::Selector s_sendEvent{"sendEvent:"};
const objc::Selector s_window{"window"};
const objc::Selector s_applicationShouldTerminate{"applicationShouldTerminate:"};
const objc::Selector s_miniaturize{"miniaturize:"};
const objc::Selector s_deminiaturize{"deminiaturize:"};
const objc::Selector s_isVisible{"isVisible"};
const objc::Selector s_action{"action"};

struct tApplication {
    tApplication() = default;
    tApplication(const tApplication&) = delete;
    tApplication& operator=(const tApplication&) = delete;
    ~tApplication()
    {
        objc_release(mainMenu);
        objc_release(appleMenu);
        objc_release(servicesMenu);
        if (loop)
            g_main_loop_unref(loop);
    }

    id delegate = nil;      // not retained
    id mainMenu = nil;      // retained
    id appleMenu = nil;     // retained
    id servicesMenu = nil;  // retained
    GMainLoop* loop = nullptr;
    bool launched = false;
    bool running = false;
    bool stopAsked = false;
    bool terminationPending = false;  // NSTerminateLater: waiting for the reply
    bool active = false;
    bool hidden = false;
    bool resignCheckQueued = false;
    std::vector<id> hiddenWindows;  // not retained; checked against the window list
};

using ApplicationState = foundation::InstanceState<tApplication>;

std::vector<id> s_windows;

tApplication& state(id self) { return ApplicationState::of(self); }

void notify(id self, NSNotificationName name, const char* delegateSelector)
{
    notifyDelegateAndPost(self, state(self).delegate, name, delegateSelector);
}

id sharedApplication(id self, SEL)
{
    // The first class asked makes it (a subclass of the program's, as on the platform).
    if (!NSApp)
        NSApp = static_cast<NSApplication*>(
            objc::msgSend<id>(objc::msgSend<id>(self, objc::sel("alloc")), objc::sel("init")));
    return NSApp;
}

id delegate(id self, SEL) { return state(self).delegate; }
void setDelegate(id self, SEL, id value) { state(self).delegate = value; }

void finishLaunching(id self)
{
    tApplication& app = state(self);
    if (app.launched)
        return;
    app.launched = true;
    notify(self, NSApplicationWillFinishLaunchingNotification, "applicationWillFinishLaunching:");
    notify(self, NSApplicationDidFinishLaunchingNotification, "applicationDidFinishLaunching:");
}

void run(id self, SEL)
{
    objc_retain(self);
    ensureGtk();  // GTK's events arrive on the default main context from here on
    watchTerminationSignals();
    finishLaunching(self);
    tApplication& app = state(self);
    if (!app.stopAsked) {
        if (!app.loop)
            app.loop = g_main_loop_new(nullptr, FALSE);
        app.running = true;
        g_main_loop_run(app.loop);
    }
    state(self).running = false;
    state(self).stopAsked = false;
    objc_release(self);
}

void stop(id self, SEL, id)
{
    tApplication& app = state(self);
    app.stopAsked = true;
    if (app.loop)
        g_main_loop_quit(app.loop);
}

BOOL isRunning(id self, SEL) { return state(self).running; }

[[noreturn]] void endProcess(id self)
{
    notify(self, NSApplicationWillTerminateNotification, "applicationWillTerminate:");
    std::exit(0);
}

void terminate(id self, SEL, id)
{
    tApplication& app = state(self);
    if (app.terminationPending)
        return;  // the delegate has not answered the last question yet
    id delegate = app.delegate;
    NSApplicationTerminateReply reply = NSTerminateNow;
    if (delegate && objc::respondsToSelector(delegate, s_applicationShouldTerminate))
        reply = objc::msgSend<NSApplicationTerminateReply, id>(delegate, s_applicationShouldTerminate, self);
    if (reply == NSTerminateCancel)
        return;
    if (reply == NSTerminateLater) {
        state(self).terminationPending = true;
        return;
    }
    endProcess(self);
}

void replyToApplicationShouldTerminate(id self, SEL, BOOL shouldTerminate)
{
    tApplication& app = state(self);
    if (!app.terminationPending)
        return;
    app.terminationPending = false;
    if (shouldTerminate)
        endProcess(self);
}

void sendEvent(id, SEL, NSEvent* event)
{
    id window = event ? objc::msgSend<id>(event, s_window) : nil;
    if (window)
        objc::msgSend<void, id>(window, s_sendEvent, event);
}

id mainMenu(id self, SEL) { return state(self).mainMenu; }

void setMainMenu(id self, SEL, id menu)
{
    tApplication& app = state(self);
    if (app.mainMenu == menu)
        return;
    objc_retain(menu);
    objc_release(std::exchange(app.mainMenu, menu));
    showMainMenuInWindows(menu);
}

void setAppleMenu(id self, SEL, id menu)
{
    objc_retain(menu);
    objc_release(std::exchange(state(self).appleMenu, menu));
}

id servicesMenu(id self, SEL) { return state(self).servicesMenu; }

void setServicesMenu(id self, SEL, id menu)
{
    // No services exist to fill it with: the menu is kept and stays as the program made it.
    objc_retain(menu);
    objc_release(std::exchange(state(self).servicesMenu, menu));
}

id findWindow(bool (*test)(const tWindow&))
{
    for (id window : s_windows)
        if (test(WindowState::of(window)))
            return window;
    return nil;
}

id keyWindow(id, SEL)
{
    return findWindow([](const tWindow& w) { return w.key; });
}

id mainWindow(id, SEL)
{
    return findWindow([](const tWindow& w) { return w.main; });
}

BOOL isActive(id self, SEL) { return state(self).active; }
BOOL isHidden(id self, SEL) { return state(self).hidden; }

bool listed(id window) { return std::find(s_windows.begin(), s_windows.end(), window) != s_windows.end(); }

void hide(id self, SEL, id)
{
    tApplication& app = state(self);
    if (app.hidden)
        return;
    app.hidden = true;
    app.hiddenWindows.clear();
    for (id window : std::vector<id>(s_windows))
        if (objc::msgSend<BOOL>(window, s_isVisible) && !WindowState::of(window).miniaturized) {
            state(self).hiddenWindows.push_back(window);
            objc::msgSend<void, id>(window, s_miniaturize, self);
        }
}

void unhide(id self, SEL, id)
{
    tApplication& app = state(self);
    if (!app.hidden)
        return;
    app.hidden = false;
    for (id window : std::exchange(app.hiddenWindows, {}))
        if (listed(window))
            objc::msgSend<void, id>(window, s_deminiaturize, self);
}

// Another program's windows are out of reach under X.
void hideOtherApplications(id, SEL, id) {}
void unhideAllApplications(id, SEL, id) {}

BOOL validateMenuItem(id, SEL, id item)
{
    const SEL action = objc::msgSend<SEL>(item, s_action);
    return action != objc::sel("hideOtherApplications:") && action != objc::sel("unhideAllApplications:");
}

gboolean checkResignActive(gpointer)
{
    if (!NSApp)
        return G_SOURCE_REMOVE;
    tApplication& app = state(NSApp);
    app.resignCheckQueued = false;
    if (app.active && !keyWindow(NSApp, nullptr)) {
        app.active = false;
        notify(NSApp, NSApplicationDidResignActiveNotification, "applicationDidResignActive:");
    }
    return G_SOURCE_REMOVE;
}

}  // namespace

const std::vector<id>& applicationWindows() { return s_windows; }

void noteWindowMade(id window) { s_windows.push_back(window); }

void noteWindowGone(id window)
{
    s_windows.erase(std::remove(s_windows.begin(), s_windows.end(), window), s_windows.end());
}

void noteKeyWindowChanged()
{
    if (!NSApp)
        return;
    tApplication& app = state(NSApp);
    if (keyWindow(NSApp, nullptr)) {
        if (!app.active) {
            app.active = true;
            notify(NSApp, NSApplicationDidBecomeActiveNotification, "applicationDidBecomeActive:");
        }
    } else if (app.active && !app.resignCheckQueued) {
        // Focus going from one window to the next leaves none focused in between.
        app.resignCheckQueued = true;
        g_idle_add(&checkResignActive, nullptr);
    }
}

void noteWindowRestored(id window)
{
    if (!NSApp)
        return;
    // A window that -hide: iconified comes back by other means (the task bar, the window manager):
    // the application shows again, and -hide: works again.
    tApplication& app = state(NSApp);
    if (app.hidden &&
        std::find(app.hiddenWindows.begin(), app.hiddenWindows.end(), window) != app.hiddenWindows.end()) {
        app.hidden = false;
        app.hiddenWindows.clear();
    }
}

void sendWindowEvent(id window, NSEvent* event)
{
    objc::msgSend<void, id>(NSApp ? static_cast<id>(NSApp) : window, s_sendEvent, event);
}

bool performMainMenuKeyEquivalent(NSEvent* event)
{
    id menu = NSApp ? state(NSApp).mainMenu : nil;
    return menu && objc::msgSend<BOOL, id>(menu, objc::sel("performKeyEquivalent:"), event);
}

Class NSApplicationClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSApplication", NSResponderClass())
            .state<tApplication>()
            .classMethod("sharedApplication", &sharedApplication, "@@:")
            .method("delegate", &delegate, "@@:")
            .method("setDelegate:", &setDelegate, "v@:@")
            .method("run", &run, "v@:")
            .method("stop:", &stop, "v@:@")
            .method("isRunning", &isRunning, "B@:")
            .method("terminate:", &terminate, "v@:@")
            .method("replyToApplicationShouldTerminate:", &replyToApplicationShouldTerminate, "v@:B")
            .method("sendEvent:", &sendEvent, "v@:@")
            .method("mainMenu", &mainMenu, "@@:")
            .method("setMainMenu:", &setMainMenu, "v@:@")
            .method("setAppleMenu:", &setAppleMenu, "v@:@")
            .method("servicesMenu", &servicesMenu, "@@:")
            .method("setServicesMenu:", &setServicesMenu, "v@:@")
            .method("keyWindow", &keyWindow, "@@:")
            .method("mainWindow", &mainWindow, "@@:")
            .method("isActive", &isActive, "B@:")
            .method("isHidden", &isHidden, "B@:")
            .method("hide:", &hide, "v@:@")
            .method("unhide:", &unhide, "v@:@")
            .method("hideOtherApplications:", &hideOtherApplications, "v@:@")
            .method("unhideAllApplications:", &unhideAllApplications, "v@:@")
            .method("validateMenuItem:", &validateMenuItem, "B@:@")
            .registerClass();
    return s_class;
}

void loadApplication()
{
    NSMenuClass();
    NSMenuItemClass();
    NSApplicationClass();
    NSCursorClass();
}

}  // namespace qvcompat::appkit
