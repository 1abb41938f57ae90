// The content view's dragging methods without a window system: a platform dragging-info object of
// the test's own is sent to a QVCocoaView, whose answers must follow what the window chose; and the
// view as the source of a drag the program starts, with the platform drag stood in for by the test.
#include "ViewFixture.h"

#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/ExchangeData.h"
#include "UIA/Picture.h"
#include "UIA/TextClipBoardFormat.h"

#include <AppKit/NSDragging.h>
#include <GP/StringCF.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::TEST;
using QV::GP::Point;

// What the test's dragging-info objects answer (one drag at a time).
struct tDraggingInfo {
    NSPoint location{0, 0};  // window coordinates, bottom-left
    NSDragOperation mask = NSDragOperationCopy;
    id pasteboard = nil;
};
tDraggingInfo s_info;

id draggingInfoObject()
{
    static Class s_class = [] {
        Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "QVTestDraggingInfo", 0);
        class_addMethod(cls, sel_registerName("draggingLocation"),
                        reinterpret_cast<IMP>(+[](id, SEL) { return s_info.location; }), "");
        class_addMethod(cls, sel_registerName("draggingSourceOperationMask"),
                        reinterpret_cast<IMP>(+[](id, SEL) { return s_info.mask; }), "");
        class_addMethod(cls, sel_registerName("draggingPasteboard"),
                        reinterpret_cast<IMP>(+[](id, SEL) { return s_info.pasteboard; }), "");
        objc_registerClassPair(cls);
        return cls;
    }();
    return objc::msgSend<id>(objc::msgSend<id>(s_class, objc::sel("alloc")), objc::sel("init"));
}

class ViewDragging : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        setDragDropDelegate(makeWindowingDragDropDelegate());
        text.setValue("dragged");
        exchange = std::make_unique<ExchangeData>(text, false);
        CFStringRef name = nullptr;
        ASSERT_EQ(PasteboardCopyName(exchange->getPasteboard(), &name), 0);
        s_info = tDraggingInfo{};
        s_info.pasteboard = objc::msgSend<id, id>(objc_getClass("NSPasteboard"), objc::sel("pasteboardWithName:"),
                                                  reinterpret_cast<id>(const_cast<__CFString*>(name)));
        CFRelease(name);
        info = draggingInfoObject();
        window.onArrival = [this](unsigned code, EventData* data) {
            if (code == eEventDragDropRequest) {
                auto* request = static_cast<DragDropRequestEventData*>(data);
                allowed = request->allowedEffects;
                requestPos = request->pos;
                requestText = DNDDelegate::get().getExternalText(*request);
                if (answer) {
                    request->target = &window;
                    request->dropEffect = *answer;
                }
            }
            if (code == eEventDragDropReceive)
                received = static_cast<DragDropReceiveEventData*>(data)->dropEffect;
        };
        window.handles = [this](unsigned code) { return code != eEventDragDropRequest || answer.has_value(); };
    }

    void TearDown() override
    {
        objc::msgSend<void, id>(view, objc::sel("draggingExited:"), info);
        objc_release(info);
        exchange.reset();
        setDragDropDelegate(nullptr);
        ViewFixture::TearDown();
    }

    bool perform() { return objc::msgSend<BOOL, id>(view, objc::sel("performDragOperation:"), info); }

    NSDragOperation operation(const char* selector)
    {
        return objc::msgSend<NSDragOperation, id>(view, objc::sel(selector), info);
    }

    TextClipBoardFormat text;
    std::unique_ptr<ExchangeData> exchange;
    id info = nil;
    std::optional<uint32_t> answer;  // the window's effect; none refuses
    uint32_t allowed = 0;
    Point requestPos;
    std::optional<std::string> requestText;
    std::optional<uint32_t> received;
};

TEST_F(ViewDragging, TheRequestCarriesThePositionTheOfferedEffectsAndTheDataAndIsAnsweredWithTheWindowsEffect)
{
    s_info.location = NSPoint{12.9, kHeight - 34.2};
    const struct {
        NSDragOperation offered;
        uint32_t allowed;
    } offers[] = {
        {NSDragOperationCopy | NSDragOperationGeneric, DragDropSupport::eDropEffectCopy},
        {NSDragOperationMove | NSDragOperationLink,
         DragDropSupport::eDropEffectMove | DragDropSupport::eDropEffectLink},
        {NSDragOperationGeneric, 0},  // offered no effect
        {NSDragOperationEvery, 7},
    };
    answer = DragDropSupport::eDropEffectCopy;
    for (const auto& offer : offers) {
        s_info.mask = offer.offered;
        EXPECT_EQ(operation("draggingEntered:"), NSDragOperationCopy);
        EXPECT_EQ(allowed, offer.allowed) << offer.offered;
    }
    EXPECT_EQ(requestPos, Point(12, 34));
    EXPECT_EQ(requestText, std::optional<std::string>("dragged"));

    const struct {
        std::optional<uint32_t> effect;
        NSDragOperation answered;
    } answers[] = {
        {0x80000002u, NSDragOperationMove}, {1u, NSDragOperationCopy},
        {4u, NSDragOperationLink},          {3u, NSDragOperationNone},  // two effects are no answer
        {0u, NSDragOperationNone},          {std::nullopt, NSDragOperationNone},
    };
    for (const auto& a : answers) {
        answer = a.effect;
        EXPECT_EQ(operation("draggingUpdated:"), a.answered) << (a.effect ? *a.effect : 99u);
    }

    // A pasteboard that cannot be opened is answered with none, and the window hears nothing.
    s_info.pasteboard = nil;
    answer = 1u;
    window.arrived.clear();
    EXPECT_EQ(operation("draggingUpdated:"), NSDragOperationNone);
    EXPECT_TRUE(window.arrived.empty());
}

TEST_F(ViewDragging, TheDropDeliversTheAcceptedEffectAndSaysWhetherAnOperationWasDone)
{
    answer = 0x80000002u;
    ASSERT_EQ(operation("draggingEntered:"), NSDragOperationMove);
    window.arrived.clear();
    EXPECT_TRUE(perform());
    EXPECT_EQ(received, std::optional<uint32_t>(2));
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventDragDropReceive, eEventDragDropLeaved}));

    // Accepted with no effect: the drop is not delivered and nothing was done.
    answer = 0u;
    received.reset();
    ASSERT_EQ(operation("draggingEntered:"), NSDragOperationNone);
    EXPECT_FALSE(perform());
    EXPECT_FALSE(received.has_value());

    // A drop whose pasteboard cannot be opened does nothing, but still ends the drag for its target.
    answer = 1u;
    ASSERT_EQ(operation("draggingEntered:"), NSDragOperationCopy);
    window.arrived.clear();
    const id pasteboard = std::exchange(s_info.pasteboard, nil);
    EXPECT_FALSE(perform());
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventDragDropLeaved}));
    EXPECT_EQ(DragDropManager::getCurrentDragTarget(), nullptr);
    s_info.pasteboard = pasteboard;

    // Leaving tells the window.
    ASSERT_EQ(operation("draggingEntered:"), NSDragOperationCopy);
    window.arrived.clear();
    objc::msgSend<void, id>(view, objc::sel("draggingExited:"), info);
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventDragDropLeaved}));
}

// The platform drag as the test stands it in for: what the view asked for, and the operation the
// test makes the drag end with.
struct tPlatformDrag {
    int calls = 0;
    NSPoint at{0, 0};
    CGSize imageSize{0, 0};
    id event = nil;
    std::string pasteboard;
    bool slideBack = true;
    NSDragOperation mask = 0;
    BOOL ignoresModifiers = NO;
    bool inProgress = false;
    NSDragOperation endWith = NSDragOperationNone;
};
tPlatformDrag s_drag;
// What happens while the stand-in drag runs, with the drag's pasteboard.
std::function<void(id pasteboard)> s_during;

void standInDrag(id self, SEL, id image, NSPoint at, NSSize, id event, id pasteboard, id source, BOOL slideBack)
{
    ++s_drag.calls;
    s_drag.at = at;
    s_drag.imageSize = objc::msgSend<CGSize>(image, objc::sel("size"));
    s_drag.event = event;
    s_drag.pasteboard = QV::GP::StringCF(objc::msgSend<CFStringRef>(pasteboard, objc::sel("name")));
    s_drag.slideBack = slideBack;
    s_drag.mask = objc::msgSend<NSDragOperation, BOOL>(source, objc::sel("draggingSourceOperationMaskForLocal:"), NO);
    s_drag.ignoresModifiers = objc::msgSend<BOOL>(source, objc::sel("ignoreModifierKeysWhileDragging"));
    s_drag.inProgress = DragDropManager::isDragInProgress();
    // The drag holds the pointer: crossing the window's edge meanwhile is not the window's business.
    objc::msgSend<void, id>(self, objc::sel("mouseExited:"), event);
    if (s_during)
        s_during(pasteboard);
    objc::msgSend<void, id, NSPoint, NSDragOperation>(self, objc::sel("draggedImage:endedAt:operation:"), image,
                                                      NSPoint{0, 0}, s_drag.endWith);
}

TEST_F(ViewDragging, ADragStartedHereRunsFromTheLastMouseEventAndEndsWithTheOperationsResult)
{
    // The view's own class runs this drag instead of the platform's.
    class_addMethod(COCOA::View::s_pClass, sel_registerName("dragImage:at:offset:event:pasteboard:source:slideBack:"),
                    reinterpret_cast<IMP>(&standInDrag), "");
    tSyntheticEvent press;
    press.locationInWindow = NSPoint{30, 40};
    send("mouseDown:", press);

    RecordingWindow receiver;
    const DragDropData payload(7);
    const struct {
        NSDragOperation endWith;
        uint32_t result;
    } endings[] = {
        {NSDragOperationNone, DragDropSupport::eDropResultNothing},
        {NSDragOperationGeneric, DragDropSupport::eDropResultNothing},
        {NSDragOperationCopy, DragDropSupport::eDropResultCopied},
        {NSDragOperationLink, DragDropSupport::eDropResultLinked},
        {NSDragOperationMove, DragDropSupport::eDropResultMoved},
        {NSDragOperationDelete, DragDropSupport::eDropResultDeleted},
        {NSDragOperationPrivate, DragDropSupport::eDropResultOther},
    };
    for (const auto& ending : endings) {
        s_drag = tPlatformDrag{};
        s_drag.endWith = ending.endWith;
        uint32_t result = 99;
        receiver.onArrival = [&](unsigned code, EventData* data) {
            if (code == eEventDragDropFinished)
                result = static_cast<DragDropFinishedEventData*>(data)->result;
        };
        DNDDelegate::get().DoDragWithCallback(
            &receiver, payload, DragDropSupport::eDropEffectCopy | DragDropSupport::eDropEffectMove, &window, nullptr);
        EXPECT_EQ(result, ending.result) << ending.endWith;
        EXPECT_EQ(s_drag.calls, 1);
    }
    EXPECT_FALSE(DragDropManager::isDragInProgress());
    EXPECT_TRUE(s_drag.inProgress);
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventMouseButton})) << "the press alone";
    EXPECT_FALSE(s_drag.slideBack);
    EXPECT_EQ(s_drag.mask, NSDragOperationCopy | NSDragOperationMove);
    EXPECT_FALSE(s_drag.ignoresModifiers);
    EXPECT_TRUE(s_drag.pasteboard.rfind("qvcompat.pasteboard.unique.", 0) == 0) << s_drag.pasteboard;
    // Without a drag image: the 16 x 8 outline, its lower-left corner at the press in the flipped view.
    EXPECT_EQ(s_drag.imageSize.width, 16);
    EXPECT_EQ(s_drag.imageSize.height, 8);
    EXPECT_EQ(s_drag.at.x, 30);
    EXPECT_EQ(s_drag.at.y, 40 + 8);

    // With a picture: its hot spot lies under the press; one effect ignores the modifier keys.
    Picture picture;
    picture.setSize(24, 10);
    picture.setAlphaChannel(true);
    picture.clear(0xFF00FF00u);
    const DragDropSupport::DragImage image{&picture, 5, 3};
    DNDDelegate::get().DoDragText("text", DragDropSupport::eDropEffectLink);
    EXPECT_EQ(s_drag.mask, NSDragOperationLink);
    EXPECT_TRUE(s_drag.ignoresModifiers);
    DNDDelegate::get().DoDrag(payload, DragDropSupport::eDropEffectCopy, &window, &image);
    EXPECT_EQ(s_drag.imageSize.width, 24);
    EXPECT_EQ(s_drag.at.x, 30 - 5);
    EXPECT_EQ(s_drag.at.y, 40 + 10 - 3);
}

TEST_F(ViewDragging, AnInternalDragWhoseSourceWindowIsDestroyedMidDragIsRefusedWithoutTouchingIt)
{
    class_addMethod(COCOA::View::s_pClass, sel_registerName("dragImage:at:offset:event:pasteboard:source:slideBack:"),
                    reinterpret_cast<IMP>(&standInDrag), "");
    tSyntheticEvent press;
    press.locationInWindow = NSPoint{30, 40};
    send("mouseDown:", press);

    auto source = std::make_unique<RecordingWindow>();
    const DragDropData payload(9);
    answer = DragDropSupport::eDropEffectCopy;
    std::vector<NSDragOperation> answers;
    size_t requestsBefore = 0;
    s_during = [&](id pasteboard) {
        s_info.pasteboard = pasteboard;
        answers.push_back(operation("draggingEntered:"));
        source.reset();
        requestsBefore = window.arrived.size();
        // Under the sanitizer, following the destroyed window's pointer would be a use after free.
        answers.push_back(operation("draggingUpdated:"));
    };
    s_drag = tPlatformDrag{};
    DNDDelegate::get().DoDragWithCallback(nullptr, payload, DragDropSupport::eDropEffectCopy, source.get(), nullptr);
    s_during = nullptr;
    EXPECT_EQ(answers, (std::vector<NSDragOperation>{NSDragOperationCopy, NSDragOperationNone}));
    // The window under the pointer was left, and not asked again.
    ASSERT_GT(window.arrived.size(), requestsBefore);
    for (size_t i = requestsBefore; i < window.arrived.size(); ++i)
        EXPECT_NE(window.arrived[i].code, eEventDragDropRequest);
}

}  // namespace
