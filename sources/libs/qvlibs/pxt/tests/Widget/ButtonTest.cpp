// A button driven through the pane by mouse events and ticks, checked through the signals it
// fires: press, release, click, drags out and back, double-clicks, auto-repeat while held,
// enter and leave, the Return key, and a disabled button.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/Button.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/KeyCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

using Log = std::vector<std::string>;

class Buttons : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        defaultSheet().createDirect("Button { width: 40; height: 20; }\n");
        m_pane.setSize(GP::Point(100, 60));
        m_pane.setRoot(m_root, "root");
        m_button = &m_root->insertChild(std::make_shared<Button>(), "button");
        m_button->style("OK", nullptr);
        m_button->setPos(GP::Point(10, 10));
        GP::Region region;
        m_pane.update(region);
        record();
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        ToolkitFixture::TearDown();
    }
    void record()
    {
        auto data = [](const char* name, const Button::tSignalData* d) {
            return std::string(name) + (d->doubleClick ? "(double)" : "") + (d->mouse ? "" : "(key)");
        };
        m_button->m_sigPressed.connect([this, data](const Button::tSignalData* d, const GP::Point& pos) {
            m_log.push_back(data("pressed", d));
            m_pressedAt = pos;
        });
        m_button->m_sigClicked.connect([this, data](const Button::tSignalData* d) {
            m_log.push_back(data("clicked", d));
            m_clickModifiers = d->modifiers;
        });
        m_button->m_sigDoubleClicked.connect(
            [this, data](const Button::tSignalData* d) { m_log.push_back(data("double-clicked", d)); });
        m_button->m_sigReleased.connect([this] { m_log.push_back("released"); });
        m_button->m_sigAutoRepeat.connect([this] { m_log.push_back("repeat"); });
        m_button->m_sigMouseEntered.connect([this] { m_log.push_back("entered"); });
        m_button->m_sigMouseExited.connect([this] { m_log.push_back("exited"); });
        m_button->m_sigRightClicked.connect([this](const UIA::MouseEventData*) { m_log.push_back("right"); });
        m_button->m_sigHover.connect([this] { m_log.push_back("hover"); });
    }
    void press(GP::Point pos, unsigned state = UIA::eMouseButtonDown, unsigned button = UIA::eMouseButtonLeft)
    {
        UIA::MouseButtonEventData data;
        data.pos = pos;
        data.button = button;
        data.state = state;
        data.modifiers = m_modifiers;
        m_pane.onEvent(UIA::eEventMouseButton, &data);
    }
    void release(GP::Point pos, unsigned button = UIA::eMouseButtonLeft) { press(pos, UIA::eMouseButtonUp, button); }
    void move(unsigned code, GP::Point pos)
    {
        UIA::MouseEventData data;
        data.pos = pos;
        m_pane.onEvent(code, &data);
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_pane.executeTimers();
    }
    // What the signals report, from here on.
    Log take()
    {
        Log log;
        log.swap(m_log);
        return log;
    }

    Pane m_pane;
    std::shared_ptr<TestWidget> m_root = std::make_shared<TestWidget>("Root");
    Button* m_button = nullptr;
    Log m_log;
    GP::Point m_pressedAt;
    std::uint32_t m_clickModifiers = 0;
    std::uint32_t m_modifiers = 0;
};

const GP::Point kInside(20, 20), kOutside(80, 50);

TEST_F(Buttons, AClickReportsPressReleaseAndClickWithTheEventsData)
{
    m_modifiers = UIA::eModifierShift;
    press(kInside);
    EXPECT_EQ(take(), (Log{"pressed"}));
    EXPECT_EQ(m_pressedAt, GP::Point(10, 10));
    release(kInside);
    EXPECT_EQ(take(), (Log{"released", "clicked"}));
    EXPECT_EQ(m_clickModifiers, UIA::eModifierShift);
    ticks(20);
    EXPECT_EQ(take(), Log{});  // the release cancelled the auto-repeat
}

TEST_F(Buttons, HeldButtonRepeatsAfterFiveTicksThenOnEveryTick)
{
    press(kInside);
    take();
    ticks(4);
    EXPECT_EQ(take(), Log{});
    ticks(1);
    EXPECT_EQ(take(), (Log{"repeat"}));
    ticks(5);
    EXPECT_EQ(take(), Log(5, "repeat"));
    release(kInside);
    ticks(10);
    EXPECT_EQ(take(), (Log{"released", "clicked"}));
}

TEST_F(Buttons, PressDraggedOutAndReleasedOutsideGivesNoClick)
{
    press(kInside);
    move(UIA::eEventMouseDrag, kOutside);
    move(UIA::eEventMouseDrag, kInside);
    move(UIA::eEventMouseDrag, kOutside);
    release(kOutside);
    ticks(10);
    const Log log = take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "pressed"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "released"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "clicked"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "repeat"), 0);
}

TEST_F(Buttons, ADoubleClickClicksTwiceTheSecondTimeMarkedDouble)
{
    press(kInside);
    release(kInside);
    press(kInside, UIA::eMouseButtonDoubleClick);
    release(kInside);
    EXPECT_EQ(take(),
              (Log{"pressed", "released", "clicked", "pressed", "pressed(double)", "clicked(double)", "released"}));
    ticks(10);
    EXPECT_EQ(take(), Log{});
}

TEST_F(Buttons, EnterLeaveAndRightClick)
{
    move(UIA::eEventMouseMove, kInside);
    EXPECT_EQ(take(), (Log{"entered"}));
    press(kInside, UIA::eMouseButtonDown, UIA::eMouseButtonRight);
    release(kInside, UIA::eMouseButtonRight);
    EXPECT_EQ(take(), (Log{"right"}));
    move(UIA::eEventMouseMove, kOutside);
    EXPECT_EQ(take(), (Log{"exited"}));
}

TEST_F(Buttons, ADisabledButtonReportsNoPress)
{
    m_button->setEnabled(false);
    press(kInside);
    ticks(10);
    release(kInside);
    const Log log = take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "pressed"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "clicked"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "repeat"), 0);
}

TEST_F(Buttons, ReturnIsTakenButFiresNothingByDefaultAndOtherKeysAreNotTaken)
{
    UIA::KeyEventData key;
    key.key = UIA::eKeyReturn;
    key.firstPress = true;
    EXPECT_TRUE(m_button->onKey(UIA::eEventKeyDown, &key));
    key.key = UIA::eKeyReturn + 1;
    EXPECT_FALSE(m_button->onKey(UIA::eEventKeyDown, &key));
    EXPECT_EQ(take(), Log{});
}

TEST_F(Buttons, ConnectionsOutlivingTheButtonAreInert)
{
    Connection connection = m_button->m_sigClicked.connect([](const Button::tSignalData*) {});
    m_root->clearChildren();
    m_button = nullptr;
    connection.disconnect();
}

}  // namespace
