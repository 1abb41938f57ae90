// The content view as a drag destination and as the source of drags the program starts: the
// dragging selectors and the platform drag behind DragDropManager::DoDragWithCallback.
#include "COCOA/ViewState.h"
#include "DragDrop/PlatformDrag.h"
#include "Quartz/NSImageFromPicture.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventData.h"
#include "UIA/ExchangeData.h"
#include "UIA/InputState.h"
#include "UIA/Picture.h"
#include "UIA/WindowBase.h"
#include "UIA/WindowImpl.h"

#include <AppKit/NSDragging.h>
#include <Carbon/Carbon.h>

#include <memory>

namespace QV::UIA {

namespace COCOA::ViewDetail {

using objc::msgSend;

namespace {

using namespace DragDropSupport;

const objc::Selector s_draggingLocation{"draggingLocation"};
const objc::Selector s_draggingSourceOperationMask{"draggingSourceOperationMask"};
const objc::Selector s_draggingPasteboard{"draggingPasteboard"};
const objc::Selector s_name{"name"};
const objc::Selector s_convertPointFromView{"convertPoint:fromView:"};
const objc::Selector s_pasteboardWithName{"pasteboardWithName:"};
const objc::Selector s_release{"release"};
const objc::Selector s_dragImage{"dragImage:at:offset:event:pasteboard:source:slideBack:"};

// The effects and the platform's operations that stand for them (generic and the others are not
// offered).
struct tEffectOperation {
    uint32_t effect;
    NSDragOperation operation;
};
constexpr tEffectOperation kEffectOperations[] = {
    {eDropEffectCopy, NSDragOperationCopy},
    {eDropEffectMove, NSDragOperationMove},
    {eDropEffectLink, NSDragOperationLink},
};

uint32_t effectsFromOperations(NSDragOperation operations)
{
    uint32_t effects = 0;
    for (const tEffectOperation& pair : kEffectOperations)
        if (operations & pair.operation)
            effects |= pair.effect;
    return effects;
}

// One effect's operation; none for no effect or several.
NSDragOperation operationFromEffect(uint32_t effect)
{
    for (const tEffectOperation& pair : kEffectOperations)
        if ((effect & ~eDropEffectFlag) == pair.effect)
            return pair.operation;
    return NSDragOperationNone;
}

// The drag's pasteboard, opened by name; null when it cannot be.
PasteboardRef openDraggingPasteboard(id info)
{
    id pasteboard = msgSend<id>(info, s_draggingPasteboard);
    id name = pasteboard ? msgSend<id>(pasteboard, s_name) : nil;
    PasteboardRef opened = nullptr;
    if (!name || PasteboardCreate(static_cast<CFStringRef>(static_cast<const void*>(name)), &opened) != 0)
        return nullptr;
    return opened;
}

// The position and modifiers of a request or a drop.
void fillDragData(id self, id info, DragEventData& data)
{
    const CGPoint inWindow = msgSend<CGPoint>(info, s_draggingLocation);
    const CGPoint inView = msgSend<CGPoint, CGPoint, id>(self, s_convertPointFromView, inWindow, nil);
    data.pos = GP::Point(static_cast<int32_t>(inView.x), static_cast<int32_t>(inView.y));
    data.modifiers = InputState::getSyncModifierKeys();
}

NSDragOperation request(id self, id info)
{
    WindowImplBase* impl = implOf(self);
    if (!impl)
        return NSDragOperationNone;
    RetainScope keep(self);
    PasteboardRef pasteboard = openDraggingPasteboard(info);
    if (!pasteboard)
        return NSDragOperationNone;
    ExchangeData exchange(pasteboard);
    CFRelease(pasteboard);
    DragDropRequestEventData data;
    fillDragData(self, info, data);
    data.data = &exchange;
    data.allowedEffects = effectsFromOperations(msgSend<NSDragOperation>(info, s_draggingSourceOperationMask));
    WindowBase* window = impl->getOwner();
    if (!DragDropManager::handleDragRequestEvent(window, &data, window))
        return NSDragOperationNone;
    return operationFromEffect(data.dropEffect);
}

NSDragOperation draggingEntered(id self, SEL, id info) { return request(self, info); }

NSDragOperation draggingUpdated(id self, SEL, id info) { return request(self, info); }

void draggingExited(id self, SEL, id)
{
    RetainScope keep(self);
    DragDropLeavedEventData data;
    DragDropManager::handleDragLeavedEvent(&data);
}

BOOL performDragOperation(id self, SEL, id info)
{
    RetainScope keep(self);
    PasteboardRef pasteboard = openDraggingPasteboard(info);
    if (!pasteboard) {
        // The drag still ends for the target that accepted it.
        DragDropLeavedEventData leaved;
        DragDropManager::handleDragLeavedEvent(&leaved);
        return NO;
    }
    ExchangeData exchange(pasteboard);
    CFRelease(pasteboard);
    DragDropReceiveEventData data;
    fillDragData(self, info, data);
    data.data = &exchange;
    if (!DragDropManager::handleDragReceiveEvent(&data))
        return NO;
    return operationFromEffect(data.dropEffect) != NSDragOperationNone;
}

// --- source ---

NSDragOperation draggingSourceOperationMaskForLocal(id, SEL, BOOL)
{
    View::DragViewData* data = nullptr;
    View::getDragViewData(data);
    return data->sourceOperationMask;
}

BOOL ignoreModifierKeysWhileDragging(id, SEL)
{
    View::DragViewData* data = nullptr;
    View::getDragViewData(data);
    return data->sourceOperationCount < 2;
}

DropResult resultFromOperation(NSDragOperation operation)
{
    switch (operation) {
    case NSDragOperationNone:
    case NSDragOperationGeneric: return eDropResultNothing;
    case NSDragOperationCopy: return eDropResultCopied;
    case NSDragOperationLink: return eDropResultLinked;
    case NSDragOperationMove: return eDropResultMoved;
    case NSDragOperationDelete: return eDropResultDeleted;
    default: return eDropResultOther;
    }
}

void draggedImageEndedAt(id self, SEL, id, CGPoint, NSDragOperation operation)
{
    RetainScope keep(self);
    DragDropManager::handleDragFinishedEvent(resultFromOperation(operation));
}

template <class Function>
void bind(GP::OBJC::ClassFactory& factory, const char* selector, Function* function, const char* types)
{
    factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), types);
}

}  // namespace

void addDragMethods(GP::OBJC::ClassFactory& factory)
{
    bind(factory, "draggingEntered:", &draggingEntered, "Q@:@");
    bind(factory, "draggingUpdated:", &draggingUpdated, "Q@:@");
    bind(factory, "draggingExited:", &draggingExited, "v@:@");
    bind(factory, "performDragOperation:", &performDragOperation, "B@:@");
    bind(factory, "draggingSourceOperationMaskForLocal:", &draggingSourceOperationMaskForLocal, "Q@:B");
    bind(factory, "ignoreModifierKeysWhileDragging", &ignoreModifierKeysWhileDragging, "B@:");
    bind(factory, "draggedImage:endedAt:operation:", &draggedImageEndedAt, "v@:@{CGPoint=dd}Q");
}

}  // namespace COCOA::ViewDetail

namespace DETAIL {

namespace {

// The image of a drag without picture: 16 x 8, transparent but for a white outline without corners.
const Picture& outlinePicture()
{
    static const std::unique_ptr<Picture> s_outline = [] {
        auto picture = std::make_unique<Picture>();
        picture->setSize(16, 8);
        picture->setAlphaChannel(true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool row = (y == 0 || y == 7) && x >= 1 && x <= 14;
                const bool column = (x == 0 || x == 15) && y >= 1 && y <= 6;
                picture->setPixelUC(x, y, row || column ? 0xFFFFFFFFu : 0x00000000u);
            }
        return picture;
    }();
    return *s_outline;
}

}  // namespace

id platformWindowOf(WindowBase* window)
{
    auto* impl = window ? dynamic_cast<COCOA::WindowImplBase*>(window->getImpl()) : nullptr;
    return impl ? impl->getWindow() : nil;
}

bool canStartPlatformDrag()
{
    COCOA::View::DragViewData* data = nullptr;
    COCOA::View::getDragViewData(data);
    return data->view && data->event;
}

void runPlatformDrag(ExchangeData& exchange, unsigned allowedEffects, const DragDropSupport::DragImage* image)
{
    using objc::msgSend;
    COCOA::View::DragViewData* data = nullptr;
    COCOA::View::getDragViewData(data);
    data->sourceOperationMask = 0;
    data->sourceOperationCount = 0;
    for (const COCOA::ViewDetail::tEffectOperation& pair : COCOA::ViewDetail::kEffectOperations)
        if (allowedEffects & pair.effect) {
            data->sourceOperationMask |= pair.operation;
            ++data->sourceOperationCount;
        }

    CFStringRef name = nullptr;
    if (PasteboardCopyName(exchange.getPasteboard(), &name) != 0 || !name) {
        DragDropManager::handleDragFinishedEvent(DragDropSupport::eDropResultOther);
        return;
    }
    id pasteboard = msgSend<id, id>(objc_getClass("NSPasteboard"), COCOA::ViewDetail::s_pasteboardWithName,
                                    static_cast<id>(const_cast<void*>(static_cast<const void*>(name))));
    CFRelease(name);

    const Picture& picture = image && image->picture ? *image->picture : outlinePicture();
    id nsImage = createNSImageFromPicture(picture);
    // The image's lower-left corner in the (flipped) view, the hot spot under the pointer.
    CGPoint at = CGPointMake(data->location.x, data->location.y + picture.getHeight());
    if (image && image->picture) {
        at.x -= image->hotX;
        at.y -= image->hotY;
    }
    // The view and the event stay alive through the drag, whatever the handlers do meanwhile.
    id view = objc_retain(data->view);
    id event = objc_retain(data->event);
    msgSend<void, id, CGPoint, CGSize, id, id, id, BOOL>(view, COCOA::ViewDetail::s_dragImage, nsImage, at,
                                                         CGSizeMake(0, 0), event, pasteboard, view, NO);
    objc_release(event);
    objc_release(view);
    if (nsImage)
        msgSend<void>(nsImage, COCOA::ViewDetail::s_release);
}

}  // namespace DETAIL

}  // namespace QV::UIA
