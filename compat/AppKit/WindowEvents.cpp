// -[NSWindow sendEvent:]: where each event of a window goes, and the GDK events made into NSEvents.
#include "AppKit/standin/Application.h"
#include "AppKit/standin/WindowState.h"

#include <algorithm>
#include <utility>

namespace qvcompat::appkit {

namespace {

const objc::Selector s_hitTest{"hitTest:"};
const objc::Selector s_performKeyEquivalent{"performKeyEquivalent:"};
const objc::Selector s_acceptsFirstResponder{"acceptsFirstResponder"};
const objc::Selector s_makeFirstResponder{"makeFirstResponder:"};
const objc::Selector s_firstResponder{"firstResponder"};
const objc::Selector s_owner{"owner"};

tWindow& state(id self) { return WindowState::of(self); }

void send(id target, const char* selector, id event)
{
    if (target)
        objc::msgSend<void, id>(target, objc::sel(selector), event);
}

id viewAt(id self, NSPoint location)
{
    id content = state(self).contentView;
    return content ? objc::msgSend<id, NSPoint>(content, s_hitTest, location) : nil;
}

const char* downSelector(NSEventType type)
{
    return type == NSEventTypeLeftMouseDown    ? "mouseDown:"
           : type == NSEventTypeRightMouseDown ? "rightMouseDown:"
                                               : "otherMouseDown:";
}

const char* upSelector(NSEventType type)
{
    return type == NSEventTypeLeftMouseUp    ? "mouseUp:"
           : type == NSEventTypeRightMouseUp ? "rightMouseUp:"
                                             : "otherMouseUp:";
}

const char* dragSelector(NSEventType type)
{
    return type == NSEventTypeLeftMouseDragged    ? "mouseDragged:"
           : type == NSEventTypeRightMouseDragged ? "rightMouseDragged:"
                                                  : "otherMouseDragged:";
}

struct tAreaHit {
    id area;
    id view;
};

struct tAreaSearch {
    NSPoint location;  // window coordinates
    bool dragging;
    std::vector<tAreaHit> hits;
};

void collectAreas(NSView* view, void* context)
{
    auto& search = *static_cast<tAreaSearch*>(context);
    id* areas = nullptr;
    size_t count = 0;
    viewTrackingAreas(view, areas, count);
    if (!count)
        return;
    const NSPoint local = windowPointToView(view, search.location);
    for (size_t i = 0; i < count; ++i) {
        const NSTrackingAreaOptions options = objc::msgSend<NSTrackingAreaOptions>(areas[i], objc::sel("options"));
        if (search.dragging && !(options & NSTrackingEnabledDuringMouseDrag))
            continue;
        const NSRect r = trackingAreaRectInView(areas[i], view);
        if (local.x >= r.origin.x && local.y >= r.origin.y && local.x < r.origin.x + r.size.width &&
            local.y < r.origin.y + r.size.height)
            search.hits.push_back(tAreaHit{areas[i], view});
    }
}

NSTrackingAreaOptions optionsOf(id area) { return objc::msgSend<NSTrackingAreaOptions>(area, objc::sel("options")); }

void sendAreaEvent(id self, NSEvent* event, NSEventType type, id area, const char* selector)
{
    tEventRecord record = eventRecord(event);
    record.type = type;
    NSEvent* areaEvent = newEvent(record, self, nullptr, area);
    send(objc::msgSend<id>(area, s_owner), selector, areaEvent);
    objc_release(areaEvent);
}

// Entering and leaving of the tracking areas at the event's location (`outside`: the pointer left the
// content), then the moves to the areas that ask for them.
void track(id self, NSEvent* event, bool outside)
{
    tWindow& window = state(self);
    const tEventRecord& record = eventRecord(event);
    tAreaSearch search{record.locationInWindow, window.buttonsDown != 0, {}};
    if (!outside && window.contentView)
        forEachVisibleView(static_cast<NSView*>(window.contentView), &collectAreas, &search);

    auto isHit = [&](id area) {
        return std::any_of(search.hits.begin(), search.hits.end(),
                           [area](const tAreaHit& h) { return h.area == area; });
    };
    // During a drag, areas that do not follow drags keep their state.
    std::vector<id> left;
    std::vector<id> stay;
    for (id area : window.insideAreas) {
        const bool frozen = search.dragging && !(optionsOf(area) & NSTrackingEnabledDuringMouseDrag) && !outside;
        (frozen || isHit(area) ? stay : left).push_back(area);
    }
    window.insideAreas = stay;
    for (id area : left) {
        if (optionsOf(area) & NSTrackingMouseEnteredAndExited)
            sendAreaEvent(self, event, NSEventTypeMouseExited, area, "mouseExited:");
        objc_release(area);
    }
    for (const tAreaHit& hit : search.hits) {
        if (std::find(state(self).insideAreas.begin(), state(self).insideAreas.end(), hit.area) !=
            state(self).insideAreas.end())
            continue;
        state(self).insideAreas.push_back(objc_retain(hit.area));
        const NSTrackingAreaOptions options = optionsOf(hit.area);
        if (options & NSTrackingMouseEnteredAndExited)
            sendAreaEvent(self, event, NSEventTypeMouseEntered, hit.area, "mouseEntered:");
        if (options & NSTrackingCursorUpdate)
            sendAreaEvent(self, event, NSEventTypeCursorUpdate, hit.area, "cursorUpdate:");
    }
    if (record.type != NSEventTypeMouseMoved)
        return;
    std::vector<id> owners;
    for (const tAreaHit& hit : search.hits) {
        id owner = objc::msgSend<id>(hit.area, s_owner);
        if ((optionsOf(hit.area) & NSTrackingMouseMoved) &&
            std::find(owners.begin(), owners.end(), owner) == owners.end())
            owners.push_back(owner);
    }
    for (id owner : owners)
        send(owner, "mouseMoved:", event);
}

void mouseDown(id self, NSEvent* event)
{
    tWindow& window = state(self);
    const tEventRecord& record = eventRecord(event);
    id view = viewAt(self, record.locationInWindow);
    if (!view)
        return;
    if (!window.mouseDownView)
        window.mouseDownView = objc_retain(view);
    window.buttonsDown |= 1UL << record.buttonNumber;
    id target = window.mouseDownView;
    objc_retain(target);
    if (objc::msgSend<BOOL>(view, s_acceptsFirstResponder))
        objc::msgSend<BOOL, id>(self, s_makeFirstResponder, view);
    send(target, downSelector(record.type), event);
    objc_release(target);
}

void mouseUp(id self, NSEvent* event)
{
    tWindow& window = state(self);
    const tEventRecord& record = eventRecord(event);
    id target = window.mouseDownView ? window.mouseDownView : viewAt(self, record.locationInWindow);
    objc_retain(target);
    window.buttonsDown &= ~(1UL << record.buttonNumber);
    if (!window.buttonsDown)
        objc_release(std::exchange(window.mouseDownView, nil));
    send(target, upSelector(record.type), event);
    objc_release(target);
}

void mouseDragged(id self, NSEvent* event)
{
    tWindow& window = state(self);
    id target = window.mouseDownView ? window.mouseDownView : viewAt(self, eventRecord(event).locationInWindow);
    objc_retain(target);
    send(target, dragSelector(eventRecord(event).type), event);
    objc_release(target);
    track(self, event, false);
}

// A key with Command held is first a key equivalent of the view tree, then of the main menu; it
// reaches -keyDown: only when neither took it and the first responder did not already see it in its
// own -performKeyEquivalent: (which would make a view that handles keys in both see the key twice).
void keyDown(id self, NSEvent* event)
{
    id responder = objc::msgSend<id>(self, s_firstResponder);
    objc_retain(responder);
    bool done = false;
    if (eventRecord(event).modifierFlags & NSEventModifierFlagCommand) {
        id content = state(self).contentView;
        done = content && objc::msgSend<BOOL, id>(content, s_performKeyEquivalent, event);
        if (!done)
            done = performMainMenuKeyEquivalent(event);
        if (!done && responder != self) {
            const IMP own =
                method_getImplementation(class_getInstanceMethod(object_getClass(responder), s_performKeyEquivalent));
            const IMP base = method_getImplementation(class_getInstanceMethod(NSViewClass(), s_performKeyEquivalent));
            done = own != base;
        }
    }
    if (!done)
        send(responder, "keyDown:", event);
    objc_release(responder);
}

void sendEvent(id self, SEL, NSEvent* event)
{
    if (!event)
        return;
    objc_retain(self);
    objc_retain(event);
    const tEventRecord& record = eventRecord(event);
    switch (record.type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown: mouseDown(self, event); break;
    case NSEventTypeLeftMouseUp:
    case NSEventTypeRightMouseUp:
    case NSEventTypeOtherMouseUp: mouseUp(self, event); break;
    case NSEventTypeLeftMouseDragged:
    case NSEventTypeRightMouseDragged:
    case NSEventTypeOtherMouseDragged: mouseDragged(self, event); break;
    case NSEventTypeMouseMoved:
    case NSEventTypeMouseEntered: track(self, event, false); break;
    case NSEventTypeMouseExited: track(self, event, true); break;
    case NSEventTypeScrollWheel: send(viewAt(self, record.locationInWindow), "scrollWheel:", event); break;
    case NSEventTypeKeyDown: keyDown(self, event); break;
    case NSEventTypeKeyUp: send(objc::msgSend<id>(self, s_firstResponder), "keyUp:", event); break;
    case NSEventTypeFlagsChanged: send(objc::msgSend<id>(self, s_firstResponder), "flagsChanged:", event); break;
    default: break;
    }
    objc_release(event);
    objc_release(self);
}

bool fromTouchpad(const GdkEvent* event)
{
    GdkDevice* device = gdk_event_get_source_device(event);
    return device && gdk_device_get_source(device) == GDK_SOURCE_TOUCHPAD;
}

}  // namespace

void addWindowEventMethods(foundation::ClassDefinition& definition)
{
    definition.method("sendEvent:", &sendEvent, "v@:@");
}

bool dispatchGdkEvent(NSWindow* window, const GdkEvent* gdk)
{
    tWindow& w = state(window);
    const double height = w.contentRect.size.height;
    tEventRecord record;
    switch (gdk->type) {
    case GDK_BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
        if (buttonNumberFromGdk(gdk->button.button) < 0)
            return false;  // the legacy wheel buttons come again as scroll events
        record = mouseButtonEvent(gdk->button, height, w.clicks);
        break;
    case GDK_MOTION_NOTIFY: record = mouseMotionEvent(gdk->motion, height); break;
    case GDK_ENTER_NOTIFY:
    case GDK_LEAVE_NOTIFY: record = mouseCrossingEvent(gdk->crossing, height); break;
    case GDK_SCROLL: record = scrollEvent(gdk->scroll, height, fromTouchpad(gdk)); break;
    case GDK_KEY_PRESS:
    case GDK_KEY_RELEASE: record = keyEvent(gdk->key, unshiftedKeyvalFor(gdk->key), w.keys); break;
    default: return false;
    }
    noteInputState(record);
    void* pool = objc_autoreleasePoolPush();
    NSEvent* event = runLocalMonitors(newEvent(record, window, gdk));
    if (event)
        sendWindowEvent(window, event);
    objc_release(event);
    objc_autoreleasePoolPop(pool);
    return event != nullptr;
}

}  // namespace qvcompat::appkit
