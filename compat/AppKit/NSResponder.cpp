#include "AppKit/standin/Windowing.h"

#include <Foundation/ClassDefinition.h>

namespace qvcompat::appkit {

namespace {

struct tResponder {
    id nextResponder = nil;  // not retained, as on the platform
};

using ResponderState = foundation::InstanceState<tResponder>;

id nextResponder(id self, SEL) { return ResponderState::of(self).nextResponder; }
void setNextResponder(id self, SEL, id next) { ResponderState::of(self).nextResponder = next; }
BOOL no(id, SEL) { return NO; }
BOOL yes(id, SEL) { return YES; }
BOOL noForEvent(id, SEL, id) { return NO; }

// The event methods: the event goes on along the chain, and ends unanswered after its last link.
void passOn(id self, SEL op, id event)
{
    id next = ResponderState::of(self).nextResponder;
    if (next && objc::respondsToSelector(next, op))
        objc::msgSend<void, id>(next, op, event);
}

void interpretKeyEvents(id self, SEL, id events)
{
    // An array of events, or one event (the stand-in's callers pass the NSEvent itself).
    if (objc::isKindOfClass(events, NSEventClass())) {
        interpretKeyEvent(self, static_cast<NSEvent*>(events));
        return;
    }
    const NSUInteger count = objc::msgSend<NSUInteger>(events, objc::sel("count"));
    for (NSUInteger i = 0; i < count; ++i)
        interpretKeyEvent(self,
                          static_cast<NSEvent*>(objc::msgSend<id, NSUInteger>(events, objc::sel("objectAtIndex:"), i)));
}

}  // namespace

Class NSResponderClass()
{
    static const Class s_class = [] {
        foundation::ClassDefinition definition("NSResponder", foundation::NSObjectClass());
        definition.state<tResponder>()
            .method("nextResponder", &nextResponder, "@@:")
            .method("setNextResponder:", &setNextResponder, "v@:@")
            .method("acceptsFirstResponder", &no, "B@:")
            .method("becomeFirstResponder", &yes, "B@:")
            .method("resignFirstResponder", &yes, "B@:")
            .method("performKeyEquivalent:", &noForEvent, "B@:@")
            .method("interpretKeyEvents:", &interpretKeyEvents, "v@:@");
        for (const char* selector :
             {"mouseDown:", "rightMouseDown:", "otherMouseDown:", "mouseUp:", "rightMouseUp:", "otherMouseUp:",
              "mouseMoved:", "mouseDragged:", "rightMouseDragged:", "otherMouseDragged:", "mouseEntered:",
              "mouseExited:", "scrollWheel:", "cursorUpdate:", "keyDown:", "keyUp:", "flagsChanged:"})
            definition.method(selector, &passOn, "v@:@");
        return definition.registerClass();
    }();
    return s_class;
}

}  // namespace qvcompat::appkit
