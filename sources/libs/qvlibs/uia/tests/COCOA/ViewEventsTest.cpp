// The content view's run-time path without a window system: synthetic platform events sent to a
// QVCocoaView through the runtime reach its window as the system's events, with the right
// positions, buttons, click states, modifiers, wheel steps, keys and text; a key that arrives while
// one is handled, the text input's rectangle on the screen, and the global tracking of presses.
#include "ViewFixture.h"

#include "Keys/Keys.h"
#include "UIA/KeyCodes.h"

#include <AppKit/standin/Windowing.h>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::TEST;
using QV::GP::Point;

class ViewEvents : public ViewFixture {};

tSyntheticEvent mouse(double x, double y, NSInteger clicks = 1, NSEventModifierFlags flags = 0)
{
    tSyntheticEvent e;
    e.locationInWindow = NSPoint{x, y};
    e.clickCount = clicks;
    e.modifierFlags = flags;
    return e;
}

TEST_F(ViewEvents, PressesAndReleasesArriveAtViewPositionsWithTheirClickStates)
{
    send("mouseDown:", mouse(10.7, 20.2));
    send("mouseUp:", mouse(10.7, 20.2));
    send("mouseDown:", mouse(11, 21, 2));
    send("rightMouseDown:", mouse(50, 60));
    send("mouseDown:", mouse(11, 21, 2));  // a right press in between: no double-click
    tSyntheticEvent middle = mouse(5, 5, 2);
    middle.buttonNumber = 2;
    send("otherMouseDown:", middle);

    const struct {
        Point pos;
        uint32_t button;
        uint32_t state;
    } expected[] = {
        {Point(10, 20), eMouseButtonLeft, eMouseButtonDown},
        {Point(10, 20), eMouseButtonLeft, eMouseButtonUp},
        {Point(11, 21), eMouseButtonLeft, eMouseButtonDoubleClick},
        {Point(50, 60), eMouseButtonRight, eMouseButtonDown},
        {Point(11, 21), eMouseButtonLeft, eMouseButtonDown},
        {Point(5, 5), eMouseButtonMiddle, eMouseButtonDown},  // the last press was another button
    };
    ASSERT_EQ(window.arrived.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(window.arrived[i].code, eEventMouseButton) << i;
        EXPECT_EQ(window.arrived[i].pos, expected[i].pos) << i;
        EXPECT_EQ(window.arrived[i].button, expected[i].button) << i;
        EXPECT_EQ(window.arrived[i].state, expected[i].state) << i;
    }
    EXPECT_TRUE(host.arrived.empty());  // mouse events never go on to the application
}

TEST_F(ViewEvents, AControlClickIsReleasedAsTheRightButtonWhateverTheModifiersAtRelease)
{
    send("mouseDown:", mouse(1, 1, 1, NSEventModifierFlagControl | NSEventModifierFlagShift));
    send("mouseUp:", mouse(1, 1, 1, NSEventModifierFlagShift));  // Control let go first
    send("mouseDown:", mouse(2, 2));
    send("mouseUp:", mouse(2, 2, 1, NSEventModifierFlagControl));  // Control pressed before the release
    send("rightMouseDown:", mouse(3, 3, 1, NSEventModifierFlagControl));

    ASSERT_EQ(window.arrived.size(), 5u);
    const struct {
        uint32_t button;
        uint32_t state;
        uint32_t modifiers;
    } expected[] = {
        {eMouseButtonRight, eMouseButtonDown, eModifierShift},
        {eMouseButtonRight, eMouseButtonUp, eModifierShift},
        {eMouseButtonLeft, eMouseButtonDown, 0},
        {eMouseButtonLeft, eMouseButtonUp, eModifierControl},
        {eMouseButtonRight, eMouseButtonDown, eModifierControl},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(window.arrived[i].button, expected[i].button) << i;
        EXPECT_EQ(window.arrived[i].state, expected[i].state) << i;
        EXPECT_EQ(window.arrived[i].modifiers, expected[i].modifiers) << i;
    }
}

TEST_F(ViewEvents, AnUnhandledPressGoesOnToTheNextResponder)
{
    window.handles = [](unsigned) { return false; };
    send("mouseDown:", mouse(1, 1));  // NSResponder passes it to a next responder that is nil
    send("mouseDragged:", mouse(4, 5));
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventMouseButton, eEventMouseDrag}));
    EXPECT_EQ(window.arrived[1].pos, Point(4, 5));
}

TEST_F(ViewEvents, MovesDragsAndCrossings)
{
    send("mouseMoved:", mouse(7, 8));
    send("mouseDragged:", mouse(9, 10));
    send("rightMouseDragged:", mouse(11, 12));
    send("otherMouseDragged:", mouse(13, 14));
    send("mouseEntered:", mouse(0, 0));
    send("mouseExited:", mouse(199, 99, 1, NSEventModifierFlagOption));
    EXPECT_EQ(window.codes(), (std::vector<unsigned>{eEventMouseMove, eEventMouseDrag, eEventMouseDrag, eEventMouseDrag,
                                                     eEventMouseEnter, eEventMouseLeave}));
    EXPECT_EQ(window.arrived[0].pos, Point(7, 8));
    EXPECT_EQ(window.arrived[3].pos, Point(13, 14));
    EXPECT_EQ(window.arrived[5].modifiers, eModifierOption);
}

TEST_F(ViewEvents, WheelStepsAddUpAndTheHorizontalAxisComesFirst)
{
    tSyntheticEvent wheel = mouse(20, 30);
    wheel.type = NSEventTypeScrollWheel;
    wheel.deltaX = -1;
    wheel.deltaY = 2;
    send("scrollWheel:", wheel);
    wheel.deltaX = 0;
    wheel.deltaY = 0.4;
    send("scrollWheel:", wheel);
    send("scrollWheel:", wheel);  // 0.8 so far: nothing yet
    send("scrollWheel:", wheel);  // 1.2: one step
    ASSERT_EQ(window.arrived.size(), 3u);
    EXPECT_EQ(window.arrived[0].axis, 0u);
    EXPECT_EQ(window.arrived[0].delta, -1);
    EXPECT_EQ(window.arrived[0].pos, Point(20, 30));
    EXPECT_EQ(window.arrived[1].axis, 1u);
    EXPECT_EQ(window.arrived[1].delta, 2);
    EXPECT_EQ(window.arrived[2].axis, 1u);
    EXPECT_EQ(window.arrived[2].delta, 1);
}

tSyntheticEvent key(NSEventType type, unsigned short keyCode, char16_t character, bool repeat = false,
                    NSEventModifierFlags flags = 0)
{
    tSyntheticEvent e;
    e.type = type;
    e.keyCode = keyCode;
    e.characters = std::u16string(1, character);
    e.isARepeat = repeat;
    e.modifierFlags = flags;
    return e;
}

constexpr unsigned short kLeftArrowKey = 123;  // the platform's virtual key code
constexpr unsigned short kF5Key = 96;

TEST_F(ViewEvents, KeysGoToTheWindowWithRepeatsAndReleasesMarked)
{
    DETAIL::Keys::init();
    send("keyDown:", key(NSEventTypeKeyDown, kLeftArrowKey, NSLeftArrowFunctionKey));
    send("keyDown:", key(NSEventTypeKeyDown, kLeftArrowKey, NSLeftArrowFunctionKey, true));
    send("keyUp:", key(NSEventTypeKeyUp, kLeftArrowKey, NSLeftArrowFunctionKey));
    send("keyDown:", key(NSEventTypeKeyDown, kF5Key, NSF1FunctionKey + 4, false, NSEventModifierFlagShift));
    ASSERT_EQ(window.codes(), (std::vector<unsigned>{eEventKeyDown, eEventKeyDown, eEventKeyUp, eEventKeyDown}));
    EXPECT_EQ(window.arrived[0].key, eKeyArrowLeft);
    EXPECT_TRUE(window.arrived[0].firstPress);
    EXPECT_FALSE(window.arrived[1].firstPress);
    EXPECT_EQ(window.arrived[2].key, eKeyArrowLeft);
    EXPECT_FALSE(window.arrived[2].firstPress);
    EXPECT_EQ(window.arrived[3].key, (eKeyF1 + 4) | eModifierShift);
}

TEST_F(ViewEvents, UnhandledKeysGoOnToTheApplication)
{
    DETAIL::Keys::init();
    window.handles = [](unsigned) { return false; };
    send("keyUp:", key(NSEventTypeKeyUp, kLeftArrowKey, NSLeftArrowFunctionKey));
    tSyntheticEvent shift = key(NSEventTypeFlagsChanged, 56, 0, false, NSEventModifierFlagShift);
    shift.characters.clear();
    send("flagsChanged:", shift);
    ASSERT_EQ(window.codes(), (std::vector<unsigned>{eEventKeyUp, eEventModifiersChanged}));
    ASSERT_EQ(host.arrived.size(), 2u);
    EXPECT_EQ(host.arrived[0].code, eEventKeyUp);
    EXPECT_EQ(host.arrived[1].code, eEventModifiersChanged);
    EXPECT_EQ(host.arrived[1].modifiers, eModifierShift);
    EXPECT_EQ(host.arrived[1].key, 56u);
}

TEST_F(ViewEvents, AKeyOfferedAsKeyEquivalentReachesTheWindowOnce)
{
    DETAIL::Keys::init();
    window.handles = [](unsigned code) { return code != eEventKeyDown; };
    id event =
        SyntheticEvents::make(key(NSEventTypeKeyDown, kF5Key, NSF1FunctionKey + 4, false, NSEventModifierFlagCommand));
    const BOOL taken = objc::msgSend<BOOL, id>(view, objc::sel("performKeyEquivalent:"), event);
    EXPECT_FALSE(taken);
    // The platform then sends the same event as -keyDown:, which the view does not hand over again.
    objc::msgSend<void, id>(view, objc::sel("keyDown:"), event);
    objc_release(event);
    EXPECT_EQ(window.codes(), std::vector<unsigned>{eEventKeyDown});

    // A handled key equivalent is answered YES.
    window.handles = [](unsigned) { return true; };
    EXPECT_TRUE(ask("performKeyEquivalent:", key(NSEventTypeKeyDown, kF5Key, NSF1FunctionKey + 4)));
    EXPECT_EQ(window.codes().size(), 2u);
}

TEST_F(ViewEvents, TextInputReachesTheWindowAndThenTheApplication)
{
    window.handles = [](unsigned) { return false; };
    const auto nsString = [](const char* utf8) {
        return reinterpret_cast<id>(
            const_cast<__CFString*>(CFStringCreateWithCString(nullptr, utf8, kCFStringEncodingUTF8)));
    };
    id text = nsString("é€");
    id empty = nsString("");
    objc::msgSend<void, id, NSRange>(view, objc::sel("insertText:replacementRange:"), text, NSRange{0, 0});
    objc::msgSend<void, id, NSRange>(view, objc::sel("insertText:replacementRange:"), empty, NSRange{0, 0});
    objc::msgSend<void, id, NSRange, NSRange>(view, objc::sel("setMarkedText:selectedRange:replacementRange:"), text,
                                              NSRange{1, 1}, NSRange{0, 0});
    objc_release(text);
    objc_release(empty);
    ASSERT_EQ(window.codes(), (std::vector<unsigned>{eEventTextInsert, eEventTextMarked}));
    EXPECT_EQ(window.arrived[0].text, "é€");
    EXPECT_EQ(window.arrived[1].caret, 2u);
    ASSERT_EQ(host.arrived.size(), 2u);
    EXPECT_EQ(host.arrived[0].text, "é€");
}

TEST_F(ViewEvents, EditingCommandsNeedAnActiveTextInput)
{
    objc::msgSend<void, SEL>(view, objc::sel("doCommandBySelector:"), objc::sel("moveRightAndModifySelection:"));
    EXPECT_TRUE(window.arrived.empty());

    FakeTextInput input;
    window.setActiveTextInput(&input);
    objc::msgSend<void, SEL>(view, objc::sel("doCommandBySelector:"), objc::sel("moveRightAndModifySelection:"));
    objc::msgSend<void, SEL>(view, objc::sel("doCommandBySelector:"), objc::sel("deleteBackward:"));
    objc::msgSend<void, SEL>(view, objc::sel("doCommandBySelector:"), objc::sel("insertNewline:"));
    ASSERT_EQ(window.codes(), (std::vector<unsigned>{eEventKeyCommand, eEventKeyCommand}));
    EXPECT_EQ(window.arrived[0].command, eKeyCommandMoveRight);
    EXPECT_TRUE(window.arrived[0].extend);
    EXPECT_EQ(window.arrived[1].command, eKeyCommandDeleteBackward);
    EXPECT_FALSE(window.arrived[1].extend);

    // The text input's ranges, and "none" without one.
    EXPECT_FALSE(objc::msgSend<BOOL>(view, objc::sel("hasMarkedText")));
    input.marked = TextRange{4, 3};
    EXPECT_TRUE(objc::msgSend<BOOL>(view, objc::sel("hasMarkedText")));
    const NSRange selected = objc::msgSend<NSRange>(view, objc::sel("selectedRange"));
    EXPECT_EQ(selected.location, 3u);
    EXPECT_EQ(selected.length, 2u);
    objc::msgSend<void>(view, objc::sel("unmarkText"));
    EXPECT_EQ(input.marked.location, -1);
    EXPECT_EQ(input.marked.length, 0);
    window.setActiveTextInput(nullptr);
    const NSRange none = objc::msgSend<NSRange>(view, objc::sel("markedRange"));
    EXPECT_EQ(none.location, NSUIntegerMax);
    EXPECT_EQ(none.length, 0u);
}

TEST_F(ViewEvents, AKeyWhileTextIsMarkedGoesToTheTextInputNotTheWindow)
{
    DETAIL::Keys::init();
    FakeTextInput input;
    input.marked = TextRange{0, 2};
    window.setActiveTextInput(&input);
    send("keyDown:", key(NSEventTypeKeyDown, kLeftArrowKey, NSLeftArrowFunctionKey));
    for (const tArrived& a : window.arrived)
        EXPECT_NE(a.code, eEventKeyDown);
    window.setActiveTextInput(nullptr);
}

TEST_F(ViewEvents, AKeyDownArrivingWhileOneIsHandledIsRefused)
{
    DETAIL::Keys::init();
    int nested = 0;
    window.onArrival = [&](unsigned code, EventData*) {
        if (code != eEventKeyDown || nested++ > 0)
            return;
        // The window's handling of the key makes the platform deliver another one.
        send("keyDown:", key(NSEventTypeKeyDown, kF5Key, NSF1FunctionKey + 4));
    };
    send("keyDown:", key(NSEventTypeKeyDown, kLeftArrowKey, NSLeftArrowFunctionKey));
    ASSERT_EQ(window.codes(), std::vector<unsigned>{eEventKeyDown});
    EXPECT_EQ(window.arrived[0].key, eKeyArrowLeft);

    // Once the first is done, the next key is taken again.
    send("keyDown:", key(NSEventTypeKeyDown, kF5Key, NSF1FunctionKey + 4));
    ASSERT_EQ(window.codes(), (std::vector<unsigned>{eEventKeyDown, eEventKeyDown}));
    EXPECT_EQ(window.arrived[1].key, eKeyF1 + 4);
}

TEST_F(ViewEvents, TheTextInputsRectangleIsGivenInPlatformScreenCoordinates)
{
    const auto firstRect = [this] {
        NSRange actual{0, 0};
        return objc::msgSend<CGRect, NSRange, NSRange*>(view, objc::sel("firstRectForCharacterRange:actualRange:"),
                                                        NSRange{1, 2}, &actual);
    };
    const CGRect none = firstRect();
    EXPECT_EQ(none.size.width, 0);
    EXPECT_EQ(none.size.height, 0) << "no text input";

    // The platform's screen coordinates grow upwards from the first screen's bottom edge.
    void* pool = objc_autoreleasePoolPush();
    id screens = objc::msgSend<id>(objc_getClass("NSScreen"), objc::sel("screens"));
    CGFloat top = 0;
    if (objc::msgSend<NSUInteger>(screens, objc::sel("count")) > 0) {
        const CGRect first = objc::msgSend<CGRect>(
            objc::msgSend<id, NSUInteger>(screens, objc::sel("objectAtIndex:"), 0), objc::sel("frame"));
        top = first.origin.y + first.size.height;
    }
    objc_autoreleasePoolPop(pool);

    FakeTextInput input;
    input.rect = QV::GP::Rect(100, 200, 110, 230);
    window.setActiveTextInput(&input);
    const CGRect rect = firstRect();
    window.setActiveTextInput(nullptr);
    EXPECT_EQ(rect.origin.x, 100);
    EXPECT_EQ(rect.origin.y, top - 30 - 200);
    EXPECT_EQ(rect.size.width, 10);
    EXPECT_EQ(rect.size.height, 30);
}

TEST_F(ViewEvents, GlobalTrackingTakesOnlyOtherWindowsPressesReleasesAndWheel)
{
    namespace appkit = qvcompat::appkit;
    // The view lies in no window: events of no window are its own; those of `other` are not.
    id other = objc::msgSend<id>(objc::msgSend<id>(objc_getClass("NSWindow"), objc::sel("alloc")),
                                 objc::sel("initWithContentRect:styleMask:backing:defer:"), CGRectMake(0, 0, 50, 50),
                                 NSUInteger{0}, NSUInteger{2}, YES);
    const auto run = [](NSEventType type, id in) {
        appkit::tEventRecord record;
        record.type = type;
        record.locationInWindow = NSPoint{5, 5};
        record.clickCount = 1;
        record.buttonNumber = type == NSEventTypeRightMouseDown || type == NSEventTypeRightMouseUp ? 1 : 0;
        NSEvent* event = appkit::newEvent(record, in);
        NSEvent* answer = appkit::runLocalMonitors(event);
        const bool passed = answer != nil;
        objc_release(answer);
        return passed;
    };

    EXPECT_TRUE(run(NSEventTypeLeftMouseDown, other)) << "not tracking yet";
    objc::msgSend<void, BOOL>(view, objc::sel("setAlwaysInterceptMouse:"), YES);
    objc::msgSend<void, BOOL>(view, objc::sel("setAlwaysInterceptMouse:"), YES);  // one monitor, not two
    struct tCase {
        NSEventType type;
        id in;
        bool passed;
    } const cases[] = {
        {NSEventTypeLeftMouseDown, nil, true},   {NSEventTypeLeftMouseUp, nil, true},
        {NSEventTypeScrollWheel, nil, true},     {NSEventTypeLeftMouseDown, other, false},
        {NSEventTypeLeftMouseUp, other, false},  {NSEventTypeRightMouseDown, other, false},
        {NSEventTypeRightMouseUp, other, false}, {NSEventTypeScrollWheel, other, false},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(run(c.type, c.in), c.passed) << "type " << c.type << (c.in ? " in another window" : " in its own");

    // Only the other window's presses and releases reached the view, at (-1, -1).
    ASSERT_EQ(window.codes(), std::vector<unsigned>(4, eEventMouseButton));
    const struct {
        uint32_t button;
        uint32_t state;
    } expected[] = {{eMouseButtonLeft, eMouseButtonDown},
                    {eMouseButtonLeft, eMouseButtonUp},
                    {eMouseButtonRight, eMouseButtonDown},
                    {eMouseButtonRight, eMouseButtonUp}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(window.arrived[i].pos, Point(-1, -1)) << i;
        EXPECT_EQ(window.arrived[i].button, expected[i].button) << i;
        EXPECT_EQ(window.arrived[i].state, expected[i].state) << i;
    }

    objc::msgSend<void, BOOL>(view, objc::sel("setAlwaysInterceptMouse:"), NO);
    EXPECT_TRUE(run(NSEventTypeLeftMouseDown, other)) << "tracking ended";
    EXPECT_EQ(window.arrived.size(), 4u);
    objc_release(other);
}

TEST_F(ViewEvents, TheWindowsCursorIsShownAtOnceAndAgainOnEachCursorUpdate)
{
    int a = 0;
    void* const cursor = &a;  // only its address travels
    impl->setCursor(cursor);
    EXPECT_EQ(impl->getCursor(), cursor);
    EXPECT_EQ(host.cursors, std::vector<void*>{cursor});
    send("cursorUpdate:", mouse(5, 5));
    EXPECT_EQ(host.cursors, (std::vector<void*>{cursor, cursor}));

    impl->resetCursor();
    EXPECT_EQ(impl->getCursor(), nullptr);
    EXPECT_EQ(host.cursors, (std::vector<void*>{cursor, cursor, nullptr}));
    send("cursorUpdate:", mouse(5, 5));  // no cursor of its own: the platform's choice stays
    EXPECT_EQ(host.cursors.size(), 3u);
}

TEST_F(ViewEvents, AViewWithoutWindowIsVisibleUnlessHidden)
{
    EXPECT_TRUE(impl->isVisible());
    objc::msgSend<void, BOOL>(view, objc::sel("setHidden:"), YES);
    EXPECT_FALSE(impl->isVisible());
    objc::msgSend<void, BOOL>(view, objc::sel("setHidden:"), NO);
    EXPECT_TRUE(impl->isVisible());

    RecordingWindow bare;
    LoggingImpl nothing(&bare, nullptr);
    EXPECT_FALSE(nothing.isVisible()) << "neither window nor view";
}

}  // namespace
