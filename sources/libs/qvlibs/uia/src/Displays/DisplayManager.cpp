#include "UIA/DisplayManager.h"

#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/EventTarget.h"

#include <CoreFoundation/CFRunLoopTimer.h>
#include <CoreGraphics/CGDirectDisplay.h>
#include <Foundation/NSGeometry.h>
#include <objc/message.h>

#include <algorithm>
#include <cmath>

namespace QV::UIA {

std::vector<Display> DisplayManager::s_displays;
GP::Rect DisplayManager::s_bounds;
bool DisplayManager::s_bVerticalLayout = false;
bool DisplayManager::s_bInitialized = false;
std::vector<CFRunLoopTimerRef> DisplayManager::s_pendingTimers;
DisplayManager::ApplicationLookup DisplayManager::s_applicationLookup = nullptr;

namespace {

// Notices that change what the list holds: main display, mode, added, removed, enabled, disabled,
// mirrored, unmirrored, desktop shape. The start of a configuration and a bare move do not.
constexpr uint32_t kQualifyingChanges = 0x1F3C;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_release{"release"};
const objc::Selector s_screens{"screens"};
const objc::Selector s_count{"count"};
const objc::Selector s_objectAtIndex{"objectAtIndex:"};
const objc::Selector s_frame{"frame"};
const objc::Selector s_visibleFrame{"visibleFrame"};
const objc::Selector s_respondsToSelector{"respondsToSelector:"};
const objc::Selector s_backingScaleFactor{"backingScaleFactor"};

// A rectangle of the platform (origin bottom-left, y upwards) in screen coordinates, firstHeight
// being the height of the first screen's frame.
GP::Rect toScreen(const NSRect& rect, double firstHeight)
{
    const int left = static_cast<int>(rect.origin.x);
    const int top = static_cast<int>(firstHeight - rect.origin.y - rect.size.height);
    return GP::Rect(left, top, left + static_cast<int>(rect.size.width), top + static_cast<int>(rect.size.height));
}

}  // namespace

bool DisplayManager::init()
{
    if (!s_bInitialized) {
        s_bInitialized = true;
        CGDisplayRegisterReconfigurationCallback(&onReconfiguration, nullptr);
        onDisplayChange();
    }
    return !s_displays.empty();
}

void DisplayManager::deInit()
{
    if (!s_bInitialized)
        return;
    s_displays.clear();
    CGDisplayRemoveReconfigurationCallback(&onReconfiguration, nullptr);
    for (CFRunLoopTimerRef timer : s_pendingTimers) {
        CFRunLoopRemoveTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
        CFRelease(timer);
    }
    s_pendingTimers.clear();
    s_bInitialized = false;
}

void DisplayManager::onDisplayChange()
{
    s_displays.clear();
    s_bounds = GP::Rect(0, 0, 1, 1);
    id pool = objc::msgSend<id>(objc::msgSend<id>(objc_getClass("NSAutoreleasePool"), s_alloc), s_init);
    id screens = objc::msgSend<id>(objc_getClass("NSScreen"), s_screens);
    const unsigned long count = screens ? objc::msgSend<unsigned long>(screens, s_count) : 0;
    id first = count > 0 ? objc::msgSend<id, unsigned long>(screens, s_objectAtIndex, 0) : nil;
    const double firstHeight = first ? objc::msgSend<NSRect>(first, s_frame).size.height : 0;
    for (unsigned long i = 0; i < count; ++i) {
        id screen = objc::msgSend<id, unsigned long>(screens, s_objectAtIndex, i);
        Display display;
        display.frame = toScreen(objc::msgSend<NSRect>(screen, s_frame), firstHeight);
        display.visibleFrame = toScreen(objc::msgSend<NSRect>(screen, s_visibleFrame), firstHeight);
        if (objc::msgSend<BOOL, SEL>(screen, s_respondsToSelector, s_backingScaleFactor)) {
            const double factor = objc::msgSend<double>(screen, s_backingScaleFactor);
            display.hiDPI = std::fabs(factor - 1.0) > 0.001;
        }
        display.valid = true;
        s_bounds.left = std::min(s_bounds.left, display.frame.left);
        s_bounds.top = std::min(s_bounds.top, display.frame.top);
        s_bounds.right = std::max(s_bounds.right, display.frame.right);
        s_bounds.bottom = std::max(s_bounds.bottom, display.frame.bottom);
        s_displays.push_back(display);
    }
    objc::msgSend<void>(pool, s_release);

    if (s_displays.empty()) {
        // No screen listed: one entry of the first screen (none here, so all zero).
        Display display;
        display.valid = true;
        s_displays.push_back(display);
        s_bounds = display.frame;
        return;
    }
    detectVerticalLayout();
    if (s_bVerticalLayout)
        std::stable_sort(s_displays.begin(), s_displays.end(),
                         [](const Display& a, const Display& b) { return a.frame.top < b.frame.top; });
    else
        std::stable_sort(s_displays.begin(), s_displays.end(),
                         [](const Display& a, const Display& b) { return a.frame.left < b.frame.left; });
}

void DisplayManager::detectVerticalLayout()
{
    s_bVerticalLayout = false;
    for (size_t i = 1; i < s_displays.size(); ++i) {
        const GP::Rect& previous = s_displays[i - 1].frame;
        const GP::Rect& next = s_displays[i].frame;
        const int midpoint = previous.left + ((previous.right - previous.left) >> 1);
        if (next.left <= midpoint && midpoint <= next.right) {
            s_bVerticalLayout = true;
            return;
        }
    }
}

void DisplayManager::onReconfiguration(uint32_t, uint32_t flags, void*)
{
    if (!(flags & kQualifyingChanges))
        return;
    CFRunLoopTimerContext context{0, nullptr, nullptr, nullptr, nullptr};
    CFRunLoopTimerRef timer =
        CFRunLoopTimerCreate(kCFAllocatorDefault, CFAbsoluteTimeGetCurrent() + 1.0, 0, 0, 0, &onTimer, &context);
    if (!timer)
        return;
    CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, kCFRunLoopCommonModes);
    s_pendingTimers.push_back(timer);
}

void DisplayManager::onTimer(CFRunLoopTimerRef timer, void*)
{
    onDisplayChange();
    if (EventTarget* application = s_applicationLookup ? s_applicationLookup() : nullptr) {
        EventData data;
        application->sendEvent(eEventAppDisplaysChanged, &data);
    }
    auto found = std::find(s_pendingTimers.begin(), s_pendingTimers.end(), timer);
    if (found != s_pendingTimers.end()) {
        s_pendingTimers.erase(found);
        CFRelease(timer);
    }
}

}  // namespace QV::UIA
