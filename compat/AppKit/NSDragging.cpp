// The dragging-info object and the pasteboard types of drag and drop: see NSDragging.h.
#include "AppKit/standin/Dragging.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

NSString* const NSStringPboardType = qvcompat::foundation::newString("NSStringPboardType");
NSString* const NSFilenamesPboardType = qvcompat::foundation::newString("NSFilenamesPboardType");

namespace qvcompat::appkit {

namespace {

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};

struct tDraggingInfo {
    tDraggingInfo() = default;
    tDraggingInfo(const tDraggingInfo&) = delete;
    tDraggingInfo& operator=(const tDraggingInfo&) = delete;
    ~tDraggingInfo() { objc_release(pasteboard); }

    NSPoint location{};
    NSDragOperation sourceMask = NSDragOperationNone;
    id pasteboard = nil;  // retained
    id source = nil;      // not retained: the source view of a drag of this process, else nil
    NSInteger sequence = 0;
};

using InfoState = foundation::InstanceState<tDraggingInfo>;

NSPoint draggingLocation(id self, SEL) { return InfoState::of(self).location; }
NSDragOperation draggingSourceOperationMask(id self, SEL) { return InfoState::of(self).sourceMask; }
id draggingPasteboard(id self, SEL) { return InfoState::of(self).pasteboard; }
id draggingSource(id self, SEL) { return InfoState::of(self).source; }
NSInteger draggingSequenceNumber(id self, SEL) { return InfoState::of(self).sequence; }

// The platform hands its destinations an object of a private class that adopts NSDraggingInfo.
Class draggingInfoClass()
{
    static const Class s_class = foundation::ClassDefinition("NSDraggingInfo", foundation::NSObjectClass())
                                     .state<tDraggingInfo>()
                                     .method("draggingLocation", &draggingLocation, "{CGPoint=dd}@:")
                                     .method("draggingSourceOperationMask", &draggingSourceOperationMask, "Q@:")
                                     .method("draggingPasteboard", &draggingPasteboard, "@@:")
                                     .method("draggingSource", &draggingSource, "@@:")
                                     .method("draggingSequenceNumber", &draggingSequenceNumber, "q@:")
                                     .registerClass();
    return s_class;
}

struct tActionOperation {
    GdkDragAction action;
    NSDragOperation operation;
};

constexpr tActionOperation kActionOperations[] = {
    {GDK_ACTION_COPY, NSDragOperationCopy},       {GDK_ACTION_MOVE, NSDragOperationMove},
    {GDK_ACTION_LINK, NSDragOperationLink},       {GDK_ACTION_ASK, NSDragOperationGeneric},
    {GDK_ACTION_PRIVATE, NSDragOperationPrivate},
};

}  // namespace

id newDraggingInfo(NSPoint location, NSDragOperation sourceMask, id pasteboard, id source, NSInteger sequence)
{
    id info = objc::msgSend<id>(objc::msgSend<id>(draggingInfoClass(), s_alloc), s_init);
    tDraggingInfo& state = InfoState::of(info);
    state.location = location;
    state.sourceMask = sourceMask;
    state.pasteboard = objc_retain(pasteboard);
    state.source = source;
    state.sequence = sequence;
    return info;
}

GdkDragAction gdkActionsFromOperations(NSDragOperation operations)
{
    int actions = 0;
    for (const tActionOperation& pair : kActionOperations)
        if (operations & pair.operation)
            actions |=
                pair.action == GDK_ACTION_ASK || pair.action == GDK_ACTION_PRIVATE ? GDK_ACTION_COPY : pair.action;
    return GdkDragAction(actions);
}

NSDragOperation operationsFromGdkActions(GdkDragAction actions)
{
    NSDragOperation operations = NSDragOperationNone;
    for (const tActionOperation& pair : kActionOperations)
        if (actions & pair.action)
            operations |= pair.operation;
    return operations;
}

}  // namespace qvcompat::appkit
