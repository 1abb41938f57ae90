// Mouse routing through the pane (over, enter and leave, press sequences, clicks, double-clicks,
// capture, wheel, the over widget while pressed), a press ended without a release, overlay
// widgets, and key routing to the input and focus widgets with the window asked for the keys.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

class Recorder : public TestWidget {
public:
    Recorder() : TestWidget("Button") {}
    void onMouse(unsigned code, UIA::MouseEventData* data) override
    {
        m_codes.push_back(code);
        m_positions.push_back(data->pos);
    }
    void onWheel(UIA::MouseWheelEventData* data) override { m_wheel.push_back(data->delta); }
    std::vector<unsigned> m_codes;
    std::vector<GP::Point> m_positions;
    std::vector<int> m_wheel;
};

class Routing : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        m_pane.setSize(GP::Point(100, 60));
        m_pane.setRoot(m_root, "root");
        m_root->insertChild(m_button, "button");
        m_button->setPos(GP::Point(10, 10));
        m_button->setSize(GP::Point(40, 20));
        m_button->setCanOver(true);
        GP::Region region;
        m_pane.update(region);
        m_root->m_codes.clear();
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        ToolkitFixture::TearDown();
    }
    void button(GP::Point pos, unsigned button, unsigned state)
    {
        UIA::MouseButtonEventData data;
        data.pos = pos;
        data.button = button;
        data.state = state;
        m_pane.onEvent(UIA::eEventMouseButton, &data);
    }
    void move(unsigned code, GP::Point pos)
    {
        UIA::MouseEventData data;
        data.pos = pos;
        m_pane.onEvent(code, &data);
    }

    Pane m_pane;
    std::shared_ptr<Recorder> m_root = std::make_shared<Recorder>();
    std::shared_ptr<Recorder> m_button = std::make_shared<Recorder>();
};

using Codes = std::vector<unsigned>;

TEST_F(Routing, MovesEnterAndLeaveWithPositionsRelativeToTheWidget)
{
    move(UIA::eEventMouseMove, GP::Point(15, 12));
    EXPECT_EQ(m_button->m_codes, (Codes{1004, 1002}));
    EXPECT_EQ(m_button->m_positions.back(), GP::Point(5, 2));
    EXPECT_EQ(m_pane.getOverWidget(), m_button.get());
    move(UIA::eEventMouseMove, GP::Point(70, 40));
    EXPECT_EQ(m_button->m_codes, (Codes{1004, 1002, 1005}));
    EXPECT_EQ(m_root->m_codes, (Codes{1004, 1002}));
    move(UIA::eEventMouseLeave, GP::Point(70, 40));
    EXPECT_EQ(m_root->m_codes, (Codes{1004, 1002, 1005}));
    EXPECT_EQ(m_pane.getOverWidget(), nullptr);
}

TEST_F(Routing, AHitTestRefusingThePointLeavesItToTheWidgetBelow)
{
    std::vector<GP::Point> asked;
    m_button->setHitTest([&asked](const GP::Point& p) {
        asked.push_back(p);
        return p.x >= 20;  // only the right half takes the pointer
    });
    move(UIA::eEventMouseMove, GP::Point(15, 12));
    EXPECT_EQ(m_pane.getOverWidget(), m_root.get());
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), GP::Point(5, 2)) << "asked in the widget's own coordinates";
    move(UIA::eEventMouseMove, GP::Point(35, 12));
    EXPECT_EQ(m_pane.getOverWidget(), m_button.get());
}

TEST_F(Routing, PressSequences)
{
    struct tStep {
        unsigned kind;  // 0 press, 1 release, 2 drag, 3 wheel
        GP::Point pos;
        unsigned button;
        unsigned state;
    };
    struct tCase {
        const char* name;
        std::vector<tStep> steps;
        Codes button;
    };
    const tCase cases[] = {
        {"click", {{0, {20, 20}, 1, 1}, {1, {20, 20}, 1, 2}}, {100002, 100008, 100014}},
        {"pressed, moved out and released: no click",
         {{0, {20, 20}, 1, 1}, {2, {80, 50}, 0, 0}, {2, {90, 50}, 0, 0}, {1, {90, 50}, 1, 2}},
         {100002, 100026, 100026, 100008}},
        {"double-click",
         {{0, {20, 20}, 1, 1}, {1, {20, 20}, 1, 2}, {0, {20, 20}, 1, 3}, {1, {20, 20}, 1, 2}},
         {100002, 100008, 100014, 100002, 100020, 100008}},
        {"left, right, right released: every held button",
         {{0, {20, 20}, 1, 1}, {0, {20, 20}, 2, 1}, {1, {20, 20}, 2, 2}},
         {100002, 100003, 100008, 100014, 100009, 100015}},
        {"wheel while held is ignored",
         {{0, {20, 20}, 1, 1}, {3, {20, 20}, 0, 0}, {1, {20, 20}, 1, 2}},
         {100002, 100008, 100014}},
        {"a press outside every widget but the root ends nothing of the button's", {{0, {80, 50}, 1, 1}}, {}},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_button->m_codes.clear();
        m_button->m_wheel.clear();
        for (const tStep& s : c.steps) {
            if (s.kind == 0 || s.kind == 1) {
                button(s.pos, s.button, s.state);
            } else if (s.kind == 2) {
                move(UIA::eEventMouseDrag, s.pos);
            } else {
                UIA::MouseWheelEventData wheel;
                wheel.pos = s.pos;
                wheel.delta = 3;
                m_pane.onEvent(UIA::eEventMouseWheel, &wheel);
            }
        }
        Codes buttonCodes;
        for (unsigned code : m_button->m_codes)
            if (code > 100000)
                buttonCodes.push_back(code);
        EXPECT_EQ(buttonCodes, c.button);
        EXPECT_TRUE(m_button->m_wheel.empty());
        // Every sequence is over (the last case's press went to the root: release it).
        button(GP::Point(80, 50), 1, 2);
        EXPECT_EQ(m_pane.getPressedWidget(), nullptr);
        EXPECT_FALSE(m_pane.isLeftButtonDown());
    }
}

TEST_F(Routing, TheWheelGoesToTheWidgetUnderThePointerTurned)
{
    UIA::MouseWheelEventData wheel;
    wheel.pos = GP::Point(20, 20);
    wheel.delta = 3;
    m_pane.onEvent(UIA::eEventMouseWheel, &wheel);
    EXPECT_EQ(m_button->m_wheel, (std::vector<int>{-3}));
}

TEST_F(Routing, ADisabledWidgetTakesNoPressAndTheReleaseEndsNothing)
{
    m_button->setEnabled(false);
    GP::Region region;
    m_pane.update(region);
    button(GP::Point(20, 20), 1, 1);
    // The hit test passes the disabled button over; the root takes the press.
    EXPECT_EQ(m_pane.getPressedWidget(), m_root.get());
    button(GP::Point(20, 20), 1, 2);
    EXPECT_TRUE(m_button->m_codes.empty());
}

TEST_F(Routing, APressEndedWithoutAReleaseGivesUpCodesButNoClick)
{
    button(GP::Point(20, 20), 1, 1);
    button(GP::Point(20, 20), 1, 2);
    button(GP::Point(20, 20), 1, 3);
    ASSERT_TRUE(m_pane.isDoubleClickSeen());
    m_button->m_codes.clear();
    m_pane.cancelPress();
    EXPECT_EQ(m_button->m_codes, (Codes{100008}));
    EXPECT_EQ(m_pane.getPressedWidget(), nullptr);
    EXPECT_FALSE(m_pane.isLeftButtonDown());
    EXPECT_FALSE(m_pane.isDoubleClickSeen());
    // The next press starts a new sequence with a click of its own.
    m_button->m_codes.clear();
    button(GP::Point(20, 20), 1, 1);
    button(GP::Point(20, 20), 1, 2);
    EXPECT_EQ(m_button->m_codes, (Codes{100002, 100008, 100014}));
}

TEST_F(Routing, OverlaysAreHitFirstAndErasedWithTheirSignal)
{
    std::vector<bool> signals;
    m_pane.m_sigOverlay.connect([&](bool on) { signals.push_back(on); });
    auto overlay = std::make_shared<Recorder>();
    overlay->setOverlay(true);
    m_root->insertChild(overlay, "overlay");
    overlay->setPos(GP::Point(15, 15));
    overlay->setSize(GP::Point(10, 10));
    m_pane.addOverlayWidget(overlay);
    m_pane.addOverlayWidget(overlay);
    EXPECT_EQ(m_pane.getOverlayWidgets().size(), 1u);
    auto loose = std::make_shared<Recorder>();
    m_pane.addOverlayWidget(loose);
    GP::Region region;
    m_pane.update(region);
    // Overlays take their whole rectangle and are hit before the tree.
    EXPECT_EQ(overlay->getClipRect(), GP::Rect(15, 15, 25, 25));
    button(GP::Point(20, 20), 1, 1);
    button(GP::Point(20, 20), 1, 2);
    EXPECT_EQ(overlay->m_codes, (Codes{100002, 100008, 100014}));
    EXPECT_TRUE(m_button->m_codes.empty());
    // Erasing takes the tree's overlay out of its parent and drops one without a parent.
    m_pane.eraseAllOverlayWidgets();
    EXPECT_TRUE(m_pane.getOverlayWidgets().empty());
    EXPECT_EQ(overlay->getParent(), nullptr);
    EXPECT_EQ(signals, (std::vector<bool>{true, false}));
}

TEST_F(Routing, WhilePressedTheOverWidgetFollowsThePointerOnlyWithPressFollow)
{
    for (const bool follow : {false, true}) {
        SCOPED_TRACE(follow);
        m_button->setPressFollow(follow);
        button(GP::Point(20, 20), 1, 1);
        ASSERT_EQ(m_pane.getOverWidget(), m_button.get());
        move(UIA::eEventMouseDrag, GP::Point(80, 50));
        EXPECT_EQ(m_pane.getOverWidget(), follow ? static_cast<Widget*>(m_root.get()) : m_button.get());
        move(UIA::eEventMouseDrag, GP::Point(25, 20));
        EXPECT_EQ(m_pane.getOverWidget(), m_button.get());
        button(GP::Point(25, 20), 1, 2);
    }
}

// Records the keys it is given and claims them when told to.
class KeyTaker : public TestWidget {
public:
    explicit KeyTaker(std::string name) : TestWidget("Panel"), m_name(std::move(name)) {}
    bool onKey(unsigned code, UIA::KeyEventData* data) override
    {
        m_log->push_back(m_name + ":" + std::to_string(code) + ":" + std::to_string(data->key));
        return m_claims;
    }
    std::string m_name;
    bool m_claims = false;
    std::vector<std::string>* m_log = nullptr;
};

// root > panel > field, each recording into one log.
class KeyRouting : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        for (KeyTaker* w : {m_root.get(), m_panel.get(), m_field.get()})
            w->m_log = &m_log;
        m_pane.setSize(GP::Point(100, 60));
        m_pane.setRoot(m_root, "root");
        m_root->insertChild(m_panel, "panel");
        m_panel->insertChild(m_field, "field");
        GP::Region region;
        m_pane.update(region);
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        ToolkitFixture::TearDown();
    }
    bool key(std::uint32_t code)
    {
        UIA::KeyEventData data;
        data.key = code;
        return m_pane.onEvent(UIA::eEventKeyDown, &data);
    }

    Pane m_pane;
    std::vector<std::string> m_log;
    std::shared_ptr<KeyTaker> m_root = std::make_shared<KeyTaker>("root");
    std::shared_ptr<KeyTaker> m_panel = std::make_shared<KeyTaker>("panel");
    std::shared_ptr<KeyTaker> m_field = std::make_shared<KeyTaker>("field");
};

using Log = std::vector<std::string>;

TEST_F(KeyRouting, KeysGoUpFromTheInputThenFromTheFocusThroughWidgetsOfThatRole)
{
    // Without focus or input no widget hears a key.
    EXPECT_FALSE(key(65));
    EXPECT_TRUE(m_log.empty());

    // The focus on the field; the panel can take focus too, the root cannot.
    m_field->setCanFocus(true);
    m_panel->setCanFocus(true);
    m_field->setFocus();
    ASSERT_EQ(m_pane.getFocusWidget(), m_field.get());
    EXPECT_FALSE(key(66));
    EXPECT_EQ(m_log, (Log{"field:1100:66", "panel:1100:66"}));
    m_log.clear();
    m_field->m_claims = true;
    EXPECT_TRUE(key(67));
    EXPECT_EQ(m_log, (Log{"field:1100:67"}));
    m_log.clear();

    // A panel without the focus role is passed over on the way up.
    m_field->m_claims = false;
    m_panel->setCanFocus(false);
    m_panel->m_claims = true;
    EXPECT_FALSE(key(68));
    EXPECT_EQ(m_log, (Log{"field:1100:68"}));
    m_log.clear();

    // The text input comes first; the focus chain after it when it declines.
    m_panel->setTextInput(true);
    m_pane.setInput(m_field.get());
    ASSERT_EQ(m_pane.getInputWidget(), m_panel.get());
    m_panel->m_claims = false;
    EXPECT_FALSE(key(69));
    EXPECT_EQ(m_log, (Log{"panel:1100:69", "field:1100:69"}));
    m_log.clear();

    // A disabled widget hears nothing.
    m_field->setEnabled(false);
    GP::Region region;
    m_pane.update(region);
    EXPECT_FALSE(key(70));
    EXPECT_EQ(m_log, (Log{"panel:1100:70"}));
}

TEST_F(KeyRouting, ADisabledWidgetNeverBecomesTheInput)
{
    m_field->setTextInput(true);
    m_field->setEnabled(false);
    GP::Region region;
    m_pane.update(region);
    m_pane.setInput(m_field.get());
    EXPECT_EQ(m_pane.getInputWidget(), nullptr);
    m_field->setEnabled(true);
    m_pane.update(region);
    m_pane.setInput(m_field.get());
    EXPECT_EQ(m_pane.getInputWidget(), m_field.get());
}

TEST_F(KeyRouting, AnErasedFocusWidgetHandsTheFocusToTheNearestAncestorThatTakesIt)
{
    m_root->setCanFocus(true);
    m_field->setCanFocus(true);
    m_field->setFocus();
    ASSERT_EQ(m_pane.getFocusWidget(), m_field.get());
    m_panel->eraseChild(*m_field);
    EXPECT_EQ(m_pane.getFocusWidget(), m_root.get());
    m_log.clear();
    m_root->m_claims = true;
    EXPECT_TRUE(key(71));
    EXPECT_EQ(m_log, (Log{"root:1100:71"}));
}

// Counts the requests for the window's key focus.
class KeyFocusPane : public Pane {
public:
    void setKeyFocus() override { ++m_asked; }
    int m_asked = 0;
};

TEST_F(ToolkitFixture, AWidgetTakingTheFocusAsksTheWindowForTheKeys)
{
    KeyFocusPane pane;
    pane.setSize(GP::Point(50, 50));
    auto root = std::make_shared<TestWidget>("Panel");
    auto field = std::make_shared<TestWidget>("Panel");
    pane.setRoot(root, "root");
    root->insertChild(field, "field");
    EXPECT_EQ(pane.m_asked, 0);
    field->setCanFocus(true);
    field->setFocus();
    EXPECT_EQ(pane.getFocusWidget(), field.get());
    EXPECT_EQ(pane.m_asked, 1);
    pane.setRoot(nullptr, "");
}

}  // namespace
