// The content view's mouse methods: presses, releases, moves, drags, entering and leaving, the wheel,
// cursor updates and the global mouse tracking.
#include "COCOA/KeyEventConversion.h"
#include "COCOA/ViewState.h"
#include "GP/ObjcIvar.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventCodes.h"
#include "UIA/WindowHost.h"

#include <AppKit/NSView.h>

#include <utility>

namespace QV::UIA::COCOA::ViewDetail {

namespace {

using objc::msgSend;

const objc::Selector s_locationInWindow{"locationInWindow"};
const objc::Selector s_convertPointFromView{"convertPoint:fromView:"};
const objc::Selector s_modifierFlags{"modifierFlags"};
const objc::Selector s_clickCount{"clickCount"};
const objc::Selector s_buttonNumber{"buttonNumber"};
const objc::Selector s_deltaX{"deltaX"};
const objc::Selector s_deltaY{"deltaY"};
const objc::Selector s_type{"type"};
const objc::Selector s_window{"window"};
const objc::Selector s_retain{"retain"};
const objc::Selector s_release{"release"};
const objc::Selector s_addLocalMonitor{"addLocalMonitorForEventsMatchingMask:handler:"};
const objc::Selector s_removeMonitor{"removeMonitor:"};

// Presses and releases of the left and right buttons, and the wheel: what global tracking takes
// from other windows.
constexpr NSEventMask kInterceptedEvents = NSEventMaskLeftMouseDown | NSEventMaskLeftMouseUp |
                                           NSEventMaskRightMouseDown | NSEventMaskRightMouseUp | NSEventMaskScrollWheel;

// The event's position in the view, each coordinate truncated.
GP::Point positionOf(id self, id event)
{
    const CGPoint inWindow = msgSend<CGPoint>(event, s_locationInWindow);
    const CGPoint inView = msgSend<CGPoint, CGPoint, id>(self, s_convertPointFromView, inWindow, nil);
    return GP::Point(static_cast<int32_t>(inView.x), static_cast<int32_t>(inView.y));
}

uint32_t modifiersOf(id event) { return modifierBitsFromCocoa(msgSend<NSEventModifierFlags>(event, s_modifierFlags)); }

// The drag view data names this view, the event and its position.
void recordDragView(id self, id event, GP::Point pos)
{
    View::DragViewData* data = nullptr;
    View::getDragViewData(data);
    data->view = self;
    if (data->event != event) {
        msgSend<id>(event, s_retain);
        msgSend<void>(data->event, s_release);
        data->event = event;
    }
    data->location = CGPointMake(pos.x, pos.y);
}

// A press of `pressed` at `pos`: the shared press handling of the button methods and of global
// tracking. Answers whether the window handled it.
bool sendPress(id self, id event, eMouseButton pressed, GP::Point pos)
{
    WindowImplBase* impl = implOf(self);
    tTextInputState* state = stateOf(self);
    if (!impl || !state)
        return false;
    const ViewInput::tButton button = ViewInput::press(pressed, msgSend<NSInteger>(event, s_clickCount),
                                                       impl->getLastMouseButtonDown(), modifiersOf(event));
    impl->setLastMouseButtonDown(pressed);
    if (pressed == eMouseButtonLeft)
        state->leftPressReported = button.button;
    MouseButtonEventData data;
    data.pos = pos;
    data.modifiers = button.modifiers;
    data.button = button.button;
    data.state = button.state;
    return sendToWindow(self, eEventMouseButton, &data);
}

bool sendRelease(id self, id event, eMouseButton released, GP::Point pos)
{
    tTextInputState* state = stateOf(self);
    if (!implOf(self) || !state)
        return false;
    const ViewInput::tButton button = ViewInput::release(
        released, released == eMouseButtonLeft ? state->leftPressReported : released, modifiersOf(event));
    MouseButtonEventData data;
    data.pos = pos;
    data.modifiers = button.modifiers;
    data.button = button.button;
    data.state = button.state;
    return sendToWindow(self, eEventMouseButton, &data);
}

// Which of the system's buttons the other-button methods stand for; 0 for a button they ignore.
eMouseButton otherButton(id event)
{
    return msgSend<NSInteger>(event, s_buttonNumber) == 2 ? eMouseButtonMiddle : eMouseButton(0);
}

void press(id self, SEL op, id event, eMouseButton pressed)
{
    RetainScope keep(self);
    const GP::Point pos = positionOf(self, event);
    recordDragView(self, event, pos);
    if (!sendPress(self, event, pressed, pos))
        passToSuper(self, op, event);
}

void release(id self, SEL op, id event, eMouseButton released)
{
    RetainScope keep(self);
    const GP::Point pos = positionOf(self, event);
    recordDragView(self, event, pos);
    if (!sendRelease(self, event, released, pos))
        passToSuper(self, op, event);
}

void mouseDown(id self, SEL op, id event) { press(self, op, event, eMouseButtonLeft); }

void rightMouseDown(id self, SEL op, id event) { press(self, op, event, eMouseButtonRight); }

void otherMouseDown(id self, SEL op, id event)
{
    if (eMouseButton button = otherButton(event))
        press(self, op, event, button);
    else
        passToSuper(self, op, event);
}

void mouseUp(id self, SEL op, id event) { release(self, op, event, eMouseButtonLeft); }

void rightMouseUp(id self, SEL op, id event) { release(self, op, event, eMouseButtonRight); }

void otherMouseUp(id self, SEL op, id event)
{
    if (eMouseButton button = otherButton(event))
        release(self, op, event, button);
    else
        passToSuper(self, op, event);
}

// Moves and drags: the relative movement first while the cursor is decoupled, then the move itself.
void move(id self, SEL op, id event, unsigned code, bool record)
{
    RetainScope keep(self);
    const GP::Point pos = positionOf(self, event);
    if (record)
        recordDragView(self, event, pos);
    WindowImplBase* impl = implOf(self);
    if (!impl) {
        passToSuper(self, op, event);
        return;
    }
    const uint32_t modifiers = modifiersOf(event);
    if (impl->isRelativeMouseMove()) {
        MouseRelativeMoveEventData relative;
        relative.pos = pos;
        relative.modifiers = modifiers;
        relative.dx = msgSend<CGFloat>(event, s_deltaX);
        relative.dy = msgSend<CGFloat>(event, s_deltaY);
        sendToWindow(self, eEventMouseRelativeMove, &relative);
    }
    MouseEventData data;
    data.pos = pos;
    data.modifiers = modifiers;
    if (!sendToWindow(self, code, &data))
        passToSuper(self, op, event);
}

void mouseMoved(id self, SEL op, id event) { move(self, op, event, eEventMouseMove, true); }

void mouseDragged(id self, SEL op, id event) { move(self, op, event, eEventMouseDrag, true); }

void rightMouseDragged(id self, SEL op, id event) { move(self, op, event, eEventMouseDrag, true); }

void otherMouseDragged(id self, SEL op, id event) { move(self, op, event, eEventMouseDrag, otherButton(event) != 0); }

void crossing(id self, id event, unsigned code)
{
    // The drag the program runs takes the pointer: its crossings are not the window's.
    if (DragDropManager::isDragInProgress())
        return;
    MouseEventData data;
    data.pos = positionOf(self, event);
    data.modifiers = modifiersOf(event);
    sendToWindow(self, code, &data);
}

void mouseEntered(id self, SEL, id event) { crossing(self, event, eEventMouseEnter); }

void mouseExited(id self, SEL, id event) { crossing(self, event, eEventMouseLeave); }

void scrollWheel(id self, SEL, id event)
{
    tTextInputState* state = stateOf(self);
    if (!implOf(self) || !state)
        return;
    RetainScope keep(self);
    MouseWheelEventData data;
    data.pos = positionOf(self, event);
    data.modifiers = modifiersOf(event);
    const CGFloat deltaX = msgSend<CGFloat>(event, s_deltaX);
    const CGFloat deltaY = msgSend<CGFloat>(event, s_deltaY);
    // Horizontal first. Fractions of a step add up until a whole step is due.
    if (deltaX != 0) {
        data.delta = state->scrollX.take(deltaX);
        data.axis = 0;
        if (data.delta != 0)
            sendToWindow(self, eEventMouseWheel, &data);
    }
    state = stateOf(self);
    if (deltaY != 0 && state) {
        data.delta = state->scrollY.take(deltaY);
        data.axis = 1;
        if (data.delta != 0)
            sendToWindow(self, eEventMouseWheel, &data);
    }
}

void cursorUpdate(id self, SEL op, id event)
{
    WindowImplBase* impl = implOf(self);
    if (impl && impl->getCursor())
        DETAIL::WindowHost::get().setSystemCursor(impl->getCursor());
    else
        passToSuper(self, op, event);
}

// Global tracking: presses and releases in other windows of the program reach this window at
// (-1, -1) and are swallowed, as is their wheel.
NSEvent* intercept(id self, NSEvent* event)
{
    if (msgSend<id>(event, s_window) == msgSend<id>(self, s_window))
        return event;
    RetainScope keep(self);
    const GP::Point outside(-1, -1);
    switch (msgSend<NSEventType>(event, s_type)) {
    case NSEventTypeLeftMouseDown: sendPress(self, event, eMouseButtonLeft, outside); break;
    case NSEventTypeRightMouseDown: sendPress(self, event, eMouseButtonRight, outside); break;
    case NSEventTypeLeftMouseUp: sendRelease(self, event, eMouseButtonLeft, outside); break;
    case NSEventTypeRightMouseUp: sendRelease(self, event, eMouseButtonRight, outside); break;
    default: break;
    }
    return nullptr;
}

void setAlwaysInterceptMouse(id self, SEL, BOOL intercept)
{
    if (!intercept) {
        removeEventMonitor(self);
        return;
    }
    if (GP::OBJC::getIvarPtr(self, "pEventMonitor"))
        return;
    // The monitor goes before the view does (removeEventMonitor in -dealloc).
    NSEventMonitorHandler handler = [self](NSEvent* event) { return ViewDetail::intercept(self, event); };
    id monitor = msgSend<id, NSEventMask, NSEventMonitorHandler>(objc_getClass("NSEvent"), s_addLocalMonitor,
                                                                 kInterceptedEvents, handler);
    GP::OBJC::setIvarPtr(self, "pEventMonitor", monitor);
}

template <class Function>
void bind(GP::OBJC::ClassFactory& factory, const char* selector, Function* function, const char* types)
{
    factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), types);
}

}  // namespace

void removeEventMonitor(id self)
{
    if (id monitor = GP::OBJC::getIvarPtr(self, "pEventMonitor")) {
        GP::OBJC::setIvarPtr(self, "pEventMonitor", nil);
        msgSend<void, id>(objc_getClass("NSEvent"), s_removeMonitor, monitor);
    }
}

void forgetDragView(id self)
{
    View::DragViewData* data = nullptr;
    View::getDragViewData(data);
    if (data->view != self)
        return;
    data->view = nil;
    msgSend<void>(std::exchange(data->event, nil), s_release);
}

void addMouseMethods(GP::OBJC::ClassFactory& factory)
{
    for (const auto& [selector, function] : std::initializer_list<std::pair<const char*, void (*)(id, SEL, id)>>{
             {"mouseDown:", &mouseDown},
             {"rightMouseDown:", &rightMouseDown},
             {"otherMouseDown:", &otherMouseDown},
             {"mouseUp:", &mouseUp},
             {"rightMouseUp:", &rightMouseUp},
             {"otherMouseUp:", &otherMouseUp},
             {"mouseMoved:", &mouseMoved},
             {"mouseDragged:", &mouseDragged},
             {"rightMouseDragged:", &rightMouseDragged},
             {"otherMouseDragged:", &otherMouseDragged},
             {"mouseEntered:", &mouseEntered},
             {"mouseExited:", &mouseExited},
             {"scrollWheel:", &scrollWheel},
             {"cursorUpdate:", &cursorUpdate},
         })
        bind(factory, selector, function, "v@:@");
    bind(factory, "setAlwaysInterceptMouse:", &setAlwaysInterceptMouse, "v@:B");
}

}  // namespace QV::UIA::COCOA::ViewDetail
