// The toolkit window's event handling without a platform window: both the window's and the pane's
// handlers run, deactivation ends a press, losing key status drops the focus, and a tick paints
// only when something changed.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/Window.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

class Recorder : public PanelWidget {
public:
    Recorder() : PanelWidget("Panel") {}
    void onMouse(unsigned code, UIA::MouseEventData*) override { m_codes.push_back(code); }
    std::vector<unsigned> m_codes;
};

// A window whose own handling claims every event, as a UI-layer window may.
class ClaimingWindow : public UIA::StandaloneWindow {
public:
    bool onEvent(unsigned code, UIA::EventData* data) override
    {
        UIA::StandaloneWindow::onEvent(code, data);
        return true;
    }
};

template <class W>
class WindowEvents : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        m_window = std::make_unique<PXT::Window<W>>();
        pane().setSize(GP::Point(100, 60));
        pane().setRoot(m_root, "root");
        m_root->insertChild(m_box, "box");
        m_box->setPos(GP::Point(10, 10));
        m_box->setSize(GP::Point(40, 20));
        GP::Region region;
        pane().update(region);
    }
    void TearDown() override
    {
        pane().setRoot(nullptr, "");
        m_window.reset();
        ToolkitFixture::TearDown();
    }
    Pane& pane() { return *m_window; }
    bool press(unsigned state)
    {
        UIA::MouseButtonEventData data;
        data.pos = GP::Point(20, 20);
        data.button = UIA::eMouseButtonLeft;
        data.state = state;
        return m_window->onEvent(UIA::eEventMouseButton, &data);
    }

    std::unique_ptr<PXT::Window<W>> m_window;
    std::shared_ptr<Recorder> m_root = std::make_shared<Recorder>();
    std::shared_ptr<Recorder> m_box = std::make_shared<Recorder>();
};

using StandaloneEvents = WindowEvents<UIA::StandaloneWindow>;
using ClaimingEvents = WindowEvents<ClaimingWindow>;

TEST_F(StandaloneEvents, DeactivationEndsAPressWithoutAClick)
{
    press(UIA::eMouseButtonDown);
    press(UIA::eMouseButtonUp);
    press(UIA::eMouseButtonDoubleClick);
    ASSERT_EQ(pane().getPressedWidget(), m_box.get());
    m_box->m_codes.clear();
    UIA::EventData empty;
    EXPECT_TRUE(m_window->onEvent(UIA::eEventWindowDeactivated, &empty));
    EXPECT_EQ(m_box->m_codes, (std::vector<unsigned>{Pane::eEventLeftButtonUp}));
    EXPECT_EQ(pane().getPressedWidget(), nullptr);
    EXPECT_EQ(pane().getOverWidget(), nullptr);
    EXPECT_FALSE(pane().isLeftButtonDown());
    EXPECT_FALSE(pane().isDoubleClickSeen());
    // The release that follows finds no held button: nothing more, and no click.
    m_box->m_codes.clear();
    press(UIA::eMouseButtonUp);
    EXPECT_TRUE(m_box->m_codes.empty());
}

TEST_F(StandaloneEvents, LosingKeyStatusDropsTheFocus)
{
    m_box->setCanFocus(true);
    press(UIA::eMouseButtonDown);
    press(UIA::eMouseButtonUp);
    ASSERT_EQ(pane().getFocusWidget(), m_box.get());
    UIA::EventData empty;
    EXPECT_TRUE(m_window->onEvent(UIA::eEventWindowResignedKey, &empty));
    EXPECT_EQ(pane().getFocusWidget(), nullptr);
}

TEST_F(StandaloneEvents, ATickPaintsOnlyWhatChanged)
{
    UIA::EventData empty;
    m_window->onEvent(UIA::eEventTimer, &empty);
    m_box->m_paints = 0;
    m_root->m_paints = 0;
    m_window->onEvent(UIA::eEventTimer, &empty);
    EXPECT_EQ(m_root->m_paints + m_box->m_paints, 0);
    m_box->setInvalid();
    m_window->onEvent(UIA::eEventTimer, &empty);
    EXPECT_EQ(m_box->m_paints, 1);
    EXPECT_TRUE(m_window->getDirtyRegion().isEmpty());
}

TEST_F(ClaimingEvents, ThePaneSeesEventsTheWindowAlsoHandles)
{
    EXPECT_TRUE(press(UIA::eMouseButtonDown));
    EXPECT_TRUE(press(UIA::eMouseButtonUp));
    EXPECT_EQ(m_box->m_codes,
              (std::vector<unsigned>{Pane::eEventLeftButtonDown, Pane::eEventLeftButtonUp, Pane::eEventLeftClick}));
}

}  // namespace
