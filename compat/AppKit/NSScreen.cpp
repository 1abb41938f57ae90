#include "AppKit/NSScreen.h"

#include "AppKit/standin/Graphics.h"

#include "AppKit/gtk/GtkMainThread.h"

#include <CoreGraphics/standin/Monitors.h>
#include <Foundation/ClassDefinition.h>
#include <Foundation/standin/Arrays.h>

#include <vector>

namespace qvcompat::appkit {

namespace {

struct tScreen {
    CGDirectDisplayID display = 0;
    NSRect frame{};
    NSRect visibleFrame{};
    CGFloat scale = 1;
};

using ScreenState = foundation::InstanceState<tScreen>;
const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_release{"release"};
const objc::Selector s_arrayWithObjects{"arrayWithObjects:count:"};

id screens(id self, SEL)
{
    // The monitors of the default display need it opened; a source installed by a test does not.
    ensureGtk();
    const std::vector<coregraphics::tDisplay> displays = coregraphics::currentDisplays();
    std::vector<id> made;
    for (const coregraphics::tDisplay& display : displays) {
        id screen = objc::msgSend<id>(objc::msgSend<id>(self, s_alloc), s_init);
        if (!screen)
            continue;
        const coregraphics::tMonitor& main = displays.front().monitor;
        const coregraphics::tMonitor& m = display.monitor;
        tScreen& state = ScreenState::of(screen);
        state.display = display.id;
        state.frame = coregraphics::bottomLeftFrame(m.x, m.y, m.width, m.height, main);
        state.visibleFrame = coregraphics::bottomLeftFrame(m.workX, m.workY, m.workWidth, m.workHeight, main);
        state.scale = m.scale;
        made.push_back(screen);
    }
    id array = objc::msgSend<id, const id*, NSUInteger>(foundation::NSArrayClass(), s_arrayWithObjects, made.data(),
                                                        made.size());
    for (id screen : made)
        objc::msgSend<void>(screen, s_release);
    return array;
}

NSRect frame(id self, SEL) { return ScreenState::of(self).frame; }
NSRect visibleFrame(id self, SEL) { return ScreenState::of(self).visibleFrame; }
CGFloat backingScaleFactor(id self, SEL) { return ScreenState::of(self).scale; }
CGDirectDisplayID displayID(id self, SEL) { return ScreenState::of(self).display; }

}  // namespace

Class NSScreenClass()
{
    static const Class s_class = foundation::ClassDefinition("NSScreen", foundation::NSObjectClass())
                                     .state<tScreen>()
                                     .classMethod("screens", &screens, "@@:")
                                     .method("frame", &frame, "{CGRect={CGPoint=dd}{CGSize=dd}}@:")
                                     .method("visibleFrame", &visibleFrame, "{CGRect={CGPoint=dd}{CGSize=dd}}@:")
                                     .method("backingScaleFactor", &backingScaleFactor, "d@:")
                                     .method("displayID", &displayID, "I@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
