#include "COCOA/View.h"

#include "COCOA/ViewState.h"
#include "COCOA/WindowNotifications.h"
#include "GP/ObjcIvar.h"
#include "UIA/EventCodes.h"
#include "UIA/InternalClipBoardFormat.h"

#include <AppKit/AppKit.h>
#include <AppKit/NSDragging.h>
#include <AppKit/NSTrackingArea.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>

#include <string>

namespace QV::UIA::COCOA {

objc_class* View::s_pClass = nullptr;

namespace ViewDetail {

using objc::msgSend;

namespace {

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_release{"release"};
const objc::Selector s_initWithFrame{"initWithFrame:"};
const objc::Selector s_initWithRect{"initWithRect:options:owner:userInfo:"};
const objc::Selector s_addTrackingArea{"addTrackingArea:"};
const objc::Selector s_defaultCenter{"defaultCenter"};
const objc::Selector s_addObserver{"addObserver:selector:name:object:"};
const objc::Selector s_removeObserver{"removeObserver:"};
const objc::Selector s_frameDidChanged{"frameDidChanged:"};
const objc::Selector s_dealloc{"dealloc"};
const objc::Selector s_currentContext{"currentContext"};
const objc::Selector s_CGContext{"CGContext"};
const objc::Selector s_object{"object"};
const objc::Selector s_arrayWithObjects{"arrayWithObjects:count:"};
const objc::Selector s_registerForDraggedTypes{"registerForDraggedTypes:"};

// Entering and leaving, moves, cursor updates, in the active application, over the visible
// rectangle, also while a button is held.
constexpr NSTrackingAreaOptions kTrackingOptions = NSTrackingMouseEnteredAndExited | NSTrackingMouseMoved |
                                                   NSTrackingCursorUpdate | NSTrackingActiveInActiveApp |
                                                   NSTrackingInVisibleRect | NSTrackingEnabledDuringMouseDrag;

objc_super superOf(id self) { return objc_super{self, class_getSuperclass(View::s_pClass)}; }

void sendEmpty(id self, unsigned code)
{
    EventData none;
    sendToWindow(self, code, &none);
}

// Text, file lists and the program's own drags.
void registerDraggedTypes(id self)
{
    id types[] = {const_cast<NSString*>(NSStringPboardType), const_cast<NSString*>(NSFilenamesPboardType),
                  static_cast<id>(const_cast<void*>(
                      static_cast<const void*>(InternalClipBoardFormat::FormatHandle().typeIdentifier)))};
    void* pool = objc_autoreleasePoolPush();
    id array = msgSend<id, const id*, NSUInteger>(objc_getClass("NSArray"), s_arrayWithObjects, types, 3);
    msgSend<void, id>(self, s_registerForDraggedTypes, array);
    objc_autoreleasePoolPop(pool);
}

id notificationCenter() { return msgSend<id>(objc_getClass("NSNotificationCenter"), s_defaultCenter); }

// --- life ---

id initWithImplAndSize(id self, SEL, WindowImplBase* impl, CGSize size)
{
    objc_super up = superOf(self);
    self = objc::msgSendSuper<id, CGRect>(&up, s_initWithFrame, CGRect{{0, 0}, size});
    if (!self)
        return nil;
    setImplOf(self, impl);
    GP::OBJC::setIvarPtr(self, "pTextInputState", reinterpret_cast<id>(new tTextInputState()));
    GP::OBJC::setIvarPtr(self, "pEventMonitor", nil);
    registerDraggedTypes(self);

    id area = msgSend<id>(objc_getClass("NSTrackingArea"), s_alloc);
    area = msgSend<id, CGRect, NSUInteger, id, id>(area, s_initWithRect, CGRect{{0, 0}, size}, kTrackingOptions, self,
                                                   nil);
    msgSend<void, id>(self, s_addTrackingArea, area);
    msgSend<void>(area, s_release);

    id center = notificationCenter();
    for (NSNotificationName name : {NSViewBoundsDidChangeNotification, NSViewFrameDidChangeNotification})
        msgSend<void, id, SEL, NSNotificationName, id>(center, s_addObserver, self, s_frameDidChanged, name, self);
    return self;
}

void dealloc(id self, SEL)
{
    removeEventMonitor(self);
    msgSend<void, id>(notificationCenter(), s_removeObserver, self);
    forgetDragView(self);
    if (tTextInputState* state = stateOf(self)) {
        releaseKeyState(*state);
        delete state;
        GP::OBJC::setIvarPtr(self, "pTextInputState", nil);
    }
    // A view that goes while it still serves a window ends the window's implementation.
    if (WindowImplBase* impl = implOf(self)) {
        setImplOf(self, nullptr);
        if (!impl->isModal()) {
            EventData none;
            impl->sendEvent(eEventWindowDestroyed, &none, false);
            impl->onViewDestroyed();
        }
    }
    objc_super up = superOf(self);
    objc::msgSendSuper<void>(&up, s_dealloc);
}

// --- properties ---

BOOL answerYes(id, SEL) { return YES; }

BOOL acceptsFirstMouse(id, SEL, id) { return YES; }

BOOL isOpaque(id self, SEL)
{
    WindowImplBase* impl = implOf(self);
    return impl && !impl->getOwner()->hasAlphaBlending();
}

// --- drawing and geometry ---

void drawRect(id self, SEL, CGRect)
{
    WindowImplBase* impl = implOf(self);
    if (!impl)
        return;
    RetainScope keep(self);
    id context = msgSend<id>(objc_getClass("NSGraphicsContext"), s_currentContext);
    DeviceContext* dc = impl->attachDCTo(msgSend<CGContextRef>(context, s_CGContext));
    // Every window works at one pixel per unit.
    dc->setBackingScale(1.0f, 1.0f);
    PaintEventData paint;
    paint.dc = dc;
    impl->sendEvent(eEventWindowPaint, &paint, false);
    if (WindowImplBase* still = implOf(self))
        still->detachDC();
}

void setFrameSize(id self, SEL op, CGSize size)
{
    objc_super up = superOf(self);
    objc::msgSendSuper<void, CGSize>(&up, op, size);
    sendEmpty(self, eEventWindowSizeChanged);
}

void setFrameOrigin(id self, SEL op, CGPoint origin)
{
    objc_super up = superOf(self);
    objc::msgSendSuper<void, CGPoint>(&up, op, origin);
    sendEmpty(self, eEventWindowMoved);
}

void frameDidChanged(id self, SEL, id) { sendEmpty(self, eEventWindowSizeChanged); }

// --- window delegate ---

BOOL windowShouldClose(id self, SEL, id)
{
    WindowImplBase* impl = implOf(self);
    if (!impl)
        return YES;
    RetainScope keep(self);
    return WindowNotifications::shouldClose(impl);
}

void windowWillClose(id self, SEL, id notification)
{
    WindowNotifications::WillCloseGuard guard(msgSend<id>(notification, s_object));
    WindowImplBase* impl = implOf(self);
    if (guard.isNested() || !impl)
        return;
    RetainScope keep(self);
    setImplOf(self, nullptr);
    if (impl->isModal())
        return;
    EventData none;
    impl->sendEvent(eEventWindowDestroyed, &none, false);
    impl->onViewDestroyed();
}

void windowDidBecomeMain(id self, SEL, id) { sendEmpty(self, eEventWindowBecameMain); }

void windowDidResignMain(id self, SEL, id) { sendEmpty(self, eEventWindowResignedMain); }

void windowDidBecomeKey(id self, SEL, id) { sendEmpty(self, eEventWindowBecameKey); }

void windowDidResignKey(id self, SEL, id)
{
    RetainScope keep(self);
    sendEmpty(self, eEventWindowResignedKey);
    sendEmpty(self, eEventWindowDeactivated);
}

CGSize windowWillResize(id self, SEL, id window, CGSize proposed)
{
    WindowImplBase* impl = implOf(self);
    return impl ? WindowNotifications::limitFrameSize(impl, window, proposed) : proposed;
}

template <class Function>
void bind(GP::OBJC::ClassFactory& factory, const char* selector, Function* function, const char* types)
{
    factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), types);
}

struct ClassMaker {
    ClassMaker()
    {
        if (!m_factory.generateUniqueClass("QVCocoaView", "NSView"))
            return;
        for (const char* name : {"pImpl", "pEvent", "pEventMonitor", "pTextInputState"})
            m_factory.addMemberVar(name, sizeof(void*), 3, name == std::string("pEventMonitor") ? "@" : "^v");
        m_factory.addProtocol("NSTextInputClient");

        const std::string size = "{CGSize=dd}";
        const std::string point = "{CGPoint=dd}";
        const std::string rect = "{CGRect=" + point + size + "}";
        bind(m_factory, "initWithImpl:andSize:", &initWithImplAndSize, ("@@:^v" + size).c_str());
        bind(m_factory, "dealloc", &dealloc, "v@:");

        for (const char* yes :
             {"isFlipped", "wantsDefaultClipping", "acceptsFirstResponder", "becomeFirstResponder", "canBecomeKeyView"})
            bind(m_factory, yes, &answerYes, "B@:");
        bind(m_factory, "acceptsFirstMouse:", &acceptsFirstMouse, "B@:@");
        bind(m_factory, "isOpaque", &isOpaque, "B@:");

        bind(m_factory, "drawRect:", &drawRect, ("v@:" + rect).c_str());
        bind(m_factory, "setFrameSize:", &setFrameSize, ("v@:" + size).c_str());
        bind(m_factory, "setFrameOrigin:", &setFrameOrigin, ("v@:" + point).c_str());
        bind(m_factory, "frameDidChanged:", &frameDidChanged, "v@:@");

        bind(m_factory, "windowShouldClose:", &windowShouldClose, "B@:@");
        bind(m_factory, "windowWillClose:", &windowWillClose, "v@:@");
        bind(m_factory, "windowDidBecomeMain:", &windowDidBecomeMain, "v@:@");
        bind(m_factory, "windowDidResignMain:", &windowDidResignMain, "v@:@");
        bind(m_factory, "windowDidBecomeKey:", &windowDidBecomeKey, "v@:@");
        bind(m_factory, "windowDidResignKey:", &windowDidResignKey, "v@:@");
        bind(m_factory, "windowWillResize:toSize:", &windowWillResize, (size + "@:@" + size).c_str());

        addMouseMethods(m_factory);
        addKeyMethods(m_factory);
        addTextInputMethods(m_factory);
        addDragMethods(m_factory);
        m_factory.doRegister();
    }

    GP::OBJC::ClassFactory m_factory{View::s_pClass};
};

const ClassMaker s_classMaker;

}  // namespace

WindowImplBase* implOf(id self) { return reinterpret_cast<WindowImplBase*>(GP::OBJC::getIvarPtr(self, "pImpl")); }

void setImplOf(id self, WindowImplBase* impl) { GP::OBJC::setIvarPtr(self, "pImpl", reinterpret_cast<id>(impl)); }

tTextInputState* stateOf(id self)
{
    return reinterpret_cast<tTextInputState*>(GP::OBJC::getIvarPtr(self, "pTextInputState"));
}

void passToSuper(id self, SEL op, id event)
{
    objc_super up = superOf(self);
    objc::msgSendSuper<void, id>(&up, op, event);
}

bool sendToWindow(id self, unsigned code, EventData* data)
{
    WindowImplBase* impl = implOf(self);
    return impl && impl->sendEvent(code, data, false);
}

bool sendToWindowThenApplication(id self, unsigned code, EventData* data)
{
    WindowImplBase* impl = implOf(self);
    return impl && impl->sendEvent(code, data, true);
}

}  // namespace ViewDetail

id View::createWithImplAndSize(WindowImplBase* impl, CGSize size)
{
    if (!s_pClass)
        return nil;
    id view = objc::msgSend<id>(s_pClass, ViewDetail::s_alloc);
    return objc::msgSend<id, WindowImplBase*, CGSize>(view, objc::sel("initWithImpl:andSize:"), impl, size);
}

void View::detachImpl(id view) { ViewDetail::setImplOf(view, nullptr); }

bool View::getDragViewData(DragViewData*& data)
{
    static DragViewData s_data;
    data = &s_data;
    return true;
}

}  // namespace QV::UIA::COCOA
