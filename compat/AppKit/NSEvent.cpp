#include "AppKit/gtk/EventTranslation.h"
#include "AppKit/standin/Windowing.h"
#include "AppKit/gtk/WindowTraits.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <algorithm>
#include <vector>

namespace qvcompat::appkit {

namespace {

struct tEvent {
    tEvent() = default;
    tEvent(const tEvent&) = delete;
    tEvent& operator=(const tEvent&) = delete;
    ~tEvent()
    {
        objc_release(trackingArea);
        if (gdk)
            gdk_event_free(gdk);
    }

    tEventRecord record;
    id window = nil;        // not retained, as on the platform
    id trackingArea = nil;  // retained
    GdkEvent* gdk = nullptr;
};

using EventState = foundation::InstanceState<tEvent>;

struct tMonitor {
    NSEventMask mask;
    NSEventMonitorHandler handler;
    id token;  // retained
};

// Main thread only, as every event.
std::vector<tMonitor>& monitors()
{
    static std::vector<tMonitor> s_monitors;
    return s_monitors;
}

NSEventModifierFlags s_lastModifierFlags = 0;
NSUInteger s_pressedButtons = 0;

NSString* newText(const std::u16string& text)
{
    return static_cast<NSString*>(foundation::asObject(CFStringCreateWithCharacters(
        kCFAllocatorDefault, reinterpret_cast<const UniChar*>(text.data()), static_cast<CFIndex>(text.size()))));
}

const tEventRecord& record(id self) { return EventState::of(self).record; }

NSEventType type(id self, SEL) { return record(self).type; }
NSEventModifierFlags modifierFlags(id self, SEL) { return record(self).modifierFlags; }
NSTimeInterval timestamp(id self, SEL) { return record(self).timestamp; }
id window(id self, SEL) { return EventState::of(self).window; }
NSInteger windowNumber(id self, SEL)
{
    id window = EventState::of(self).window;
    return window ? objc::msgSend<NSInteger>(window, objc::sel("windowNumber")) : 0;
}
NSPoint locationInWindow(id self, SEL) { return record(self).locationInWindow; }
NSInteger clickCount(id self, SEL) { return record(self).clickCount; }
NSInteger buttonNumber(id self, SEL) { return record(self).buttonNumber; }
CGFloat deltaX(id self, SEL) { return record(self).deltaX; }
CGFloat deltaY(id self, SEL) { return record(self).deltaY; }
CGFloat deltaZ(id, SEL) { return 0; }
CGFloat scrollingDeltaX(id self, SEL) { return record(self).scrollingDeltaX; }
CGFloat scrollingDeltaY(id self, SEL) { return record(self).scrollingDeltaY; }
BOOL hasPreciseScrollingDeltas(id self, SEL) { return record(self).preciseScrolling; }
unsigned short keyCode(id self, SEL) { return record(self).keyCode; }
BOOL isARepeat(id self, SEL) { return record(self).isARepeat; }
id trackingArea(id self, SEL) { return EventState::of(self).trackingArea; }
void* userData(id self, SEL)
{
    id area = EventState::of(self).trackingArea;
    return area ? objc::msgSend<void*>(area, objc::sel("userInfo")) : nullptr;
}

// Autoreleased, as the platform's accessors answer.
id characters(id self, SEL) { return objc_autorelease(newText(record(self).characters)); }
id charactersIgnoringModifiers(id self, SEL)
{
    return objc_autorelease(newText(record(self).charactersIgnoringModifiers));
}

NSEventModifierFlags classModifierFlags(id, SEL)
{
    if (GdkDisplay* display = gdk_display_get_default())
        return modifierFlagsFromGdk(gdk_keymap_get_modifier_state(gdk_keymap_get_for_display(display)));
    return s_lastModifierFlags & NSEventModifierFlagDeviceIndependentFlagsMask;
}

NSUInteger pressedMouseButtons(id, SEL) { return s_pressedButtons; }

NSPoint mouseLocation(id, SEL)
{
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer)
        return NSPoint{};
    int x = 0;
    int y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    // The pixel under the pointer: its bottom edge in AppKit's upward coordinates.
    const NSRect pixel = appKitRectFromRoot(x, y, 1, 1, primaryScreenBase());
    return NSPoint{pixel.origin.x, pixel.origin.y + 1};
}

NSTimeInterval doubleClickInterval(id, SEL)
{
    int intervalMs = 400;
    if (GdkScreen* screen = gdk_screen_get_default())
        g_object_get(gtk_settings_get_for_screen(screen), "gtk-double-click-time", &intervalMs, nullptr);
    return intervalMs / 1000.0;
}

id addLocalMonitor(id, SEL, NSEventMask mask, NSEventMonitorHandler handler)
{
    if (!handler)
        return nil;
    id token = objc::msgSend<id>(foundation::NSObjectClass(), objc::sel("new"));
    monitors().push_back(tMonitor{mask, std::move(handler), token});
    return token;
}

void removeMonitor(id, SEL, id token)
{
    auto& list = monitors();
    auto found = std::find_if(list.begin(), list.end(), [token](const tMonitor& m) { return m.token == token; });
    if (found == list.end())
        return;
    id held = found->token;
    list.erase(found);
    objc_release(held);
}

}  // namespace

Class NSEventClass()
{
    static const Class s_class =
        foundation::ClassDefinition("NSEvent", foundation::NSObjectClass())
            .state<tEvent>()
            .method("type", &type, "Q@:")
            .method("modifierFlags", &modifierFlags, "Q@:")
            .method("timestamp", &timestamp, "d@:")
            .method("window", &window, "@@:")
            .method("windowNumber", &windowNumber, "q@:")
            .method("locationInWindow", &locationInWindow, "{CGPoint=dd}@:")
            .method("clickCount", &clickCount, "q@:")
            .method("buttonNumber", &buttonNumber, "q@:")
            .method("deltaX", &deltaX, "d@:")
            .method("deltaY", &deltaY, "d@:")
            .method("deltaZ", &deltaZ, "d@:")
            .method("scrollingDeltaX", &scrollingDeltaX, "d@:")
            .method("scrollingDeltaY", &scrollingDeltaY, "d@:")
            .method("hasPreciseScrollingDeltas", &hasPreciseScrollingDeltas, "B@:")
            .method("keyCode", &keyCode, "S@:")
            .method("characters", &characters, "@@:")
            .method("charactersIgnoringModifiers", &charactersIgnoringModifiers, "@@:")
            .method("isARepeat", &isARepeat, "B@:")
            .method("trackingArea", &trackingArea, "@@:")
            .method("userData", &userData, "^v@:")
            .classMethod("modifierFlags", &classModifierFlags, "Q@:")
            .classMethod("pressedMouseButtons", &pressedMouseButtons, "Q@:")
            .classMethod("mouseLocation", &mouseLocation, "{CGPoint=dd}@:")
            .classMethod("doubleClickInterval", &doubleClickInterval, "d@:")
            .classMethod("addLocalMonitorForEventsMatchingMask:handler:", &addLocalMonitor, "@@:Q@?")
            .classMethod("removeMonitor:", &removeMonitor, "v@:@")
            .registerClass();
    return s_class;
}

NSEvent* newEvent(const tEventRecord& values, id window, const GdkEvent* gdk, id trackingArea)
{
    id event = objc::msgSend<id>(NSEventClass(), objc::sel("new"));
    tEvent& state = EventState::of(event);
    state.record = values;
    state.window = window;
    state.trackingArea = objc_retain(trackingArea);
    state.gdk = gdk ? gdk_event_copy(gdk) : nullptr;
    return static_cast<NSEvent*>(event);
}

const tEventRecord& eventRecord(NSEvent* event) { return record(event); }

const GdkEvent* eventGdk(NSEvent* event) { return EventState::of(event).gdk; }

NSEvent* runLocalMonitors(NSEvent* event)
{
    // A handler may add or remove monitors: walk a copy, skipping those removed meanwhile.
    const std::vector<tMonitor> snapshot = monitors();
    for (const tMonitor& monitor : snapshot) {
        if (!event)
            break;
        const bool stillThere = std::any_of(monitors().begin(), monitors().end(),
                                            [&](const tMonitor& m) { return m.token == monitor.token; });
        if (!stillThere || !(monitor.mask & (1ULL << record(event).type)))
            continue;
        NSEvent* answer = monitor.handler(event);
        objc_retain(answer);
        objc_release(event);
        event = answer;
    }
    return event;
}

void noteInputState(const tEventRecord& values)
{
    s_lastModifierFlags = values.modifierFlags;
    const NSUInteger bit = values.buttonNumber >= 0 ? (1UL << values.buttonNumber) : 0;
    switch (values.type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown: s_pressedButtons |= bit; break;
    case NSEventTypeLeftMouseUp:
    case NSEventTypeRightMouseUp:
    case NSEventTypeOtherMouseUp: s_pressedButtons &= ~bit; break;
    default: break;
    }
}

}  // namespace qvcompat::appkit
