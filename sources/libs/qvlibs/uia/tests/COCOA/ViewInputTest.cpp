// The content view's translation rules: presses and releases with click counts and Control, the
// wheel's fractional steps, and the editing commands of the key bindings.
#include "COCOA/ViewInput.h"
#include "UIA/KeyCodes.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::UIA;
using namespace QV::UIA::COCOA;

constexpr eMouseButton kNone = eMouseButton(0);
constexpr uint32_t kCtrl = eModifierControl;
constexpr uint32_t kShift = eModifierShift;

TEST(ViewInput, PressesCountClicksPerButtonAndTurnControlLeftIntoRight)
{
    const struct {
        eMouseButton pressed;
        long clickCount;
        eMouseButton lastPressed;
        uint32_t modifiers;
        ViewInput::tButton expected;
    } cases[] = {
        {eMouseButtonLeft, 1, kNone, 0, {eMouseButtonLeft, eMouseButtonDown, 0}},
        {eMouseButtonLeft, 2, eMouseButtonLeft, 0, {eMouseButtonLeft, eMouseButtonDoubleClick, 0}},
        {eMouseButtonLeft, 3, eMouseButtonLeft, 0, {eMouseButtonLeft, eMouseButtonDown, 0}},
        {eMouseButtonLeft, 4, eMouseButtonLeft, kShift, {eMouseButtonLeft, eMouseButtonDoubleClick, kShift}},
        // A right press in between: the second left press is a plain press.
        {eMouseButtonLeft, 2, eMouseButtonRight, 0, {eMouseButtonLeft, eMouseButtonDown, 0}},
        {eMouseButtonRight, 2, eMouseButtonRight, 0, {eMouseButtonRight, eMouseButtonDoubleClick, 0}},
        {eMouseButtonMiddle, 2, eMouseButtonMiddle, 0, {eMouseButtonMiddle, eMouseButtonDoubleClick, 0}},
        // Control-left is a right press without the Control bit; Control-right keeps it.
        {eMouseButtonLeft, 1, kNone, kCtrl | kShift, {eMouseButtonRight, eMouseButtonDown, kShift}},
        {eMouseButtonLeft, 2, eMouseButtonLeft, kCtrl, {eMouseButtonRight, eMouseButtonDoubleClick, 0}},
        {eMouseButtonRight, 1, kNone, kCtrl, {eMouseButtonRight, eMouseButtonDown, kCtrl}},
    };
    for (const auto& c : cases) {
        const ViewInput::tButton got = ViewInput::press(c.pressed, c.clickCount, c.lastPressed, c.modifiers);
        EXPECT_EQ(got.button, c.expected.button) << c.pressed << " count " << c.clickCount;
        EXPECT_EQ(got.state, c.expected.state) << c.pressed << " count " << c.clickCount;
        EXPECT_EQ(got.modifiers, c.expected.modifiers) << c.pressed << " count " << c.clickCount;
    }
}

TEST(ViewInput, ReleasesNameTheButtonThePressReported)
{
    const struct {
        eMouseButton physical;
        eMouseButton pressReported;
        uint32_t modifiersAtRelease;
        ViewInput::tButton expected;
    } cases[] = {
        {eMouseButtonLeft, eMouseButtonLeft, 0, {eMouseButtonLeft, eMouseButtonUp, 0}},
        // Control pressed after a plain left press: still the left button's release.
        {eMouseButtonLeft, eMouseButtonLeft, kCtrl, {eMouseButtonLeft, eMouseButtonUp, kCtrl}},
        // Control let go before the release of a Control-click: still the right button's release.
        {eMouseButtonLeft, eMouseButtonRight, 0, {eMouseButtonRight, eMouseButtonUp, 0}},
        {eMouseButtonLeft, eMouseButtonRight, kCtrl | kShift, {eMouseButtonRight, eMouseButtonUp, kShift}},
        {eMouseButtonRight, eMouseButtonRight, kCtrl, {eMouseButtonRight, eMouseButtonUp, kCtrl}},
        {eMouseButtonMiddle, eMouseButtonMiddle, 0, {eMouseButtonMiddle, eMouseButtonUp, 0}},
    };
    for (const auto& c : cases) {
        const ViewInput::tButton got = ViewInput::release(c.physical, c.pressReported, c.modifiersAtRelease);
        EXPECT_EQ(got.button, c.expected.button) << c.physical << "/" << c.pressReported;
        EXPECT_EQ(got.state, eMouseButtonUp);
        EXPECT_EQ(got.modifiers, c.expected.modifiers) << c.physical << "/" << c.pressReported;
    }
}

TEST(ViewInput, FractionalWheelDeltasAddUpToWholeSteps)
{
    const struct {
        const char* what;
        std::vector<double> deltas;
        std::vector<int> steps;
    } cases[] = {
        {"whole wheel steps", {1, 1, -2}, {1, 1, -2}},
        {"quarters of a touchpad", {0.25, 0.25, 0.25, 0.25, 0.5}, {0, 0, 0, 1, 0}},
        {"more than a step at once", {2.75, 0.5}, {2, 1}},
        {"backwards", {-0.6, -0.6, -0.6}, {0, -1, 0}},
        // A change of direction starts afresh: no step from what was left of the other way.
        {"turning round", {0.9, -0.3, -0.8}, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        ViewInput::ScrollAccumulator accumulator;
        std::vector<int> steps;
        for (double delta : c.deltas)
            steps.push_back(accumulator.take(delta));
        EXPECT_EQ(steps, c.steps) << c.what;
    }
}

TEST(ViewInput, KeyBindingSelectorsAreEditingCommands)
{
    const struct {
        const char* selector;
        eKeyCommand command;
        bool extend;
    } known[] = {
        {"moveLeft:", eKeyCommandMoveLeft, false},
        {"moveRight:", eKeyCommandMoveRight, false},
        {"moveUp:", eKeyCommandMoveUp, false},
        {"moveDown:", eKeyCommandMoveDown, false},
        {"moveToLeftEndOfLine:", eKeyCommandMoveToLineStart, false},
        {"moveToRightEndOfLine:", eKeyCommandMoveToLineEnd, false},
        {"deleteForward:", eKeyCommandDeleteForward, false},
        {"deleteBackward:", eKeyCommandDeleteBackward, false},
        {"moveRightAndModifySelection:", eKeyCommandMoveRight, true},
        {"moveToLeftEndOfLineAndModifySelection:", eKeyCommandMoveToLineStart, true},
        {"moveDownAndModifySelection:", eKeyCommandMoveDown, true},
    };
    for (const auto& k : known) {
        const auto found = ViewInput::keyCommandFor(k.selector);
        ASSERT_TRUE(found) << k.selector;
        EXPECT_EQ(found->command, k.command) << k.selector;
        EXPECT_EQ(found->extendSelection, k.extend) << k.selector;
    }
    for (const char* unknown : {"deleteBackwardAndModifySelection:", "insertNewline:", "moveLeft", "scrollPageUp:", ""})
        EXPECT_FALSE(ViewInput::keyCommandFor(unknown)) << unknown;
    EXPECT_FALSE(ViewInput::keyCommandFor(nullptr));
}

}  // namespace
