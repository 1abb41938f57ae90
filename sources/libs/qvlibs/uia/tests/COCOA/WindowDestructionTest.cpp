// The order in which a window goes, whichever way it starts, checked by the order of the calls:
// the platform window is a small run-time class that closes as AppKit's does (the delegate's
// windowWillClose:, then the release of a released-when-closed window, which releases its view).
#include "ViewFixture.h"

#include "COCOA/WindowDelegate.h"
#include "COCOA/WindowImpl.h"

#include <Foundation/Foundation.h>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::TEST;
using QV::GP::OBJC::getIvarPtr;
using QV::GP::OBJC::setIvarPtr;

Log* logOf(id window) { return reinterpret_cast<Log*>(getIvarPtr(window, "pLog")); }

// A will-close notification about `window` (autoreleased).
id notice(id window)
{
    return objc::msgSend<id, id, id>(objc_getClass("NSNotification"), objc::sel("notificationWithName:object:"), nil,
                                     window);
}

// -close: the delegate's windowWillClose: with a notification about this window, then the release.
void closeWindow(id self, SEL)
{
    logOf(self)->push_back("close");
    void* pool = objc_autoreleasePoolPush();
    if (id delegate = getIvarPtr(self, "pDelegate"))
        objc::msgSend<void, id>(delegate, objc::sel("windowWillClose:"), notice(self));
    objc_autoreleasePoolPop(pool);
    logOf(self)->push_back("release");
    objc_release(self);
}

void setDelegate(id self, SEL, id delegate) { setIvarPtr(self, "pDelegate", delegate); }

// -dealloc: the window lets go of its content view; the drag view data tells whether the view went.
void deallocWindow(id self, SEL op)
{
    logOf(self)->push_back("window dealloc");
    objc_release(getIvarPtr(self, "pContent"));
    COCOA::View::DragViewData* data = nullptr;
    COCOA::View::getDragViewData(data);
    if (!data->view)
        logOf(self)->push_back("view dealloc");
    objc_super up{self, class_getSuperclass(object_getClass(self))};
    objc::msgSendSuper<void>(&up, op);
}

Class fakeWindowClass()
{
    static objc_class* s_class = nullptr;
    static QV::GP::OBJC::ClassFactory s_factory(s_class);
    if (!s_class && s_factory.generateUniqueClass("QVTestFakeWindow", "NSObject")) {
        for (const char* ivar : {"pDelegate", "pContent", "pLog"})
            s_factory.addMemberVar(ivar, sizeof(void*), 3, "^v");
        s_factory.addMethod(objc::sel("close"), reinterpret_cast<IMP>(&closeWindow), "v@:");
        s_factory.addMethod(objc::sel("setDelegate:"), reinterpret_cast<IMP>(&setDelegate), "v@:@");
        s_factory.addMethod(objc::sel("dealloc"), reinterpret_cast<IMP>(&deallocWindow), "v@:");
        s_factory.doRegister();
    }
    return s_class;
}

// A platform window holding `content` (retained) with `delegate`, logging into `log`.
id makeFakeWindow(Log& log, id content, id delegate)
{
    id window = objc::msgSend<id>(objc::msgSend<id>(fakeWindowClass(), objc::sel("alloc")), objc::sel("init"));
    setIvarPtr(window, "pLog", reinterpret_cast<id>(&log));
    setIvarPtr(window, "pContent", objc_retain(content));
    setIvarPtr(window, "pDelegate", delegate);
    return window;
}

// An auto-deleted window with its implementation, view and platform window, as creation leaves
// them: the platform window holds the view, which is its delegate.
struct OpenWindow {
    explicit OpenWindow(Log& log) : owner(new RecordingWindow(&log)), impl(new LoggingImpl(owner, &log))
    {
        owner->setImpl(impl);
        owner->setAutoDelete(true);
        view = COCOA::View::createWithImplAndSize(impl, CGSizeMake(50, 40));
        window = makeFakeWindow(log, view, view);
        impl->attach(view, window);
        objc_release(view);  // the platform window's reference is the one left
        // The drag view data names the view until it goes.
        id press = SyntheticEvents::make(tSyntheticEvent());
        objc::msgSend<void, id>(view, objc::sel("mouseDown:"), press);
        objc_release(press);
        owner->arrived.clear();
        impl->setDeleteWindowObject(true);
    }

    RecordingWindow* owner;
    LoggingImpl* impl;
    id view = nil;
    id window = nil;
};

TEST(WindowDestruction, ClosingByTheUserEndsTheImplementationThenReleasesTheWindowAndItsView)
{
    Log log;
    OpenWindow open(log);
    objc::msgSend<void>(open.window, objc::sel("close"));
    EXPECT_EQ(log, (Log{"close", "eEventWindowDestroyed", "window deleted", "implementation deleted", "release",
                        "window dealloc", "view dealloc"}));
}

TEST(WindowDestruction, DestroyDetachesTheViewClosesTheWindowThenEndsTheImplementation)
{
    Log log;
    OpenWindow open(log);
    open.owner->destroy();
    EXPECT_EQ(log, (Log{"eEventWindowDestroyed", "close", "release", "window dealloc", "view dealloc", "window deleted",
                        "implementation deleted"}));
}

TEST(WindowDestruction, AViewThatGoesWhileAttachedEndsItsImplementation)
{
    Log log;
    RecordingWindow owner(&log);
    auto* impl = new LoggingImpl(&owner, &log);
    owner.setImpl(impl);
    id view = COCOA::View::createWithImplAndSize(impl, CGSizeMake(10, 10));
    impl->attach(view, nil);
    objc_release(view);
    EXPECT_EQ(log, (Log{"eEventWindowDestroyed", "implementation deleted"}));
    EXPECT_EQ(owner.getImpl(), nullptr);
}

TEST(WindowDestruction, AWillCloseNoticeDuringTheHandlingOfTheSameWindowEndsItOnce)
{
    Log log;
    OpenWindow open(log);
    open.owner->onArrival = [&](unsigned code, EventData*) {
        if (code == eEventWindowDestroyed)
            objc::msgSend<void, id>(open.view, objc::sel("windowWillClose:"), notice(open.window));
    };
    objc::msgSend<void>(open.window, objc::sel("close"));
    EXPECT_EQ(std::count(log.begin(), log.end(), "eEventWindowDestroyed"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "implementation deleted"), 1);
}

TEST(WindowDestruction, ClosingAnotherWindowFromACloseHandlerEndsThatWindowToo)
{
    Log log;
    OpenWindow a(log);
    Log logB;
    OpenWindow b(logB);
    a.owner->onArrival = [&](unsigned code, EventData*) {
        if (code == eEventWindowDestroyed)
            objc::msgSend<void>(b.window, objc::sel("close"));
    };
    objc::msgSend<void>(a.window, objc::sel("close"));
    EXPECT_EQ(logB, (Log{"close", "eEventWindowDestroyed", "window deleted", "implementation deleted", "release",
                         "window dealloc", "view dealloc"}));
    EXPECT_EQ(std::count(log.begin(), log.end(), "implementation deleted"), 1);
}

TEST(WindowDestruction, TheDelegateOfAWindowWithoutViewGuardsEachWindowOnItsOwn)
{
    // Two windows without view, each with its delegate; closing A's closes B from A's handling.
    struct Plain {
        explicit Plain(Log& log) : owner(&log), impl(new COCOA::WindowImpl(&owner))
        {
            owner.setImpl(impl);
            delegate = COCOA::WindowDelegate::create(impl);
            window = makeFakeWindow(log, nil, delegate);
            impl->attachWindow(window);
        }
        ~Plain() { objc_release(window); }
        RecordingWindow owner;
        COCOA::WindowImpl* impl;
        id delegate = nil;
        id window = nil;
    };
    Log logA;
    Log logB;
    Plain a(logA);
    Plain b(logB);
    const auto willClose = [](Plain& p) {
        void* pool = objc_autoreleasePoolPush();
        objc::msgSend<void, id>(p.delegate, objc::sel("windowWillClose:"), notice(p.window));
        objc_autoreleasePoolPop(pool);
    };
    a.owner.onArrival = [&](unsigned code, EventData*) {
        if (code == eEventWindowDestroyed) {
            willClose(a);  // the same window again: ignored
            willClose(b);  // another window: ends it
        }
    };
    willClose(a);
    EXPECT_EQ(logA, Log{"eEventWindowDestroyed"});
    EXPECT_EQ(logB, Log{"eEventWindowDestroyed"});
    EXPECT_EQ(a.owner.getImpl(), nullptr);
    EXPECT_EQ(b.owner.getImpl(), nullptr);
}

TEST(WindowDestruction, AnImplementationDeletedWhileItsWindowIsOpenLeavesNoDelegateBehind)
{
    Log log;
    auto* owner = new RecordingWindow(&log);
    auto* impl = new COCOA::WindowImpl(owner);
    owner->setImpl(impl);
    QV::UIA::Window::CreateData data;
    if (!impl->createWindow(data, COCOA::eWindowClassWindow, false)) {
        delete owner;
        GTEST_SKIP() << "no platform window without a display";
    }
    id window = objc_retain(impl->getWindow());
    ASSERT_NE(objc::msgSend<id>(window, objc::sel("delegate")), nil);
    delete owner;  // deletes the implementation with its platform window still open
    EXPECT_EQ(objc::msgSend<id>(window, objc::sel("delegate")), nil);
    log.clear();
    objc::msgSend<void>(window, objc::sel("close"));  // reaches no implementation; releases the window once
    EXPECT_TRUE(log.empty());
    objc_release(window);
}

}  // namespace
