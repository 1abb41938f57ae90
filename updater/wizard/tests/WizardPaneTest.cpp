// The wizard in a pane of the window's size, driven by the pane's mouse events and ticks: the
// About overlay, the poll of a running update, and a double-click on ACTION.
#include "Updater/WizardWidgetNames.h"
#include "WizardHarness.h"

#include "GP/Region.h"
#include "PXT/Lib.h"
#include "PXT/Pane.h"
#include "PXT/StyleSheetManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::TEST;
using Calls = std::vector<std::string>;

class WizardInPane : public testing::Test {
protected:
    void SetUp() override
    {
        PXT::Lib::init();
        m_pane.setSize(GP::Point(627, 335));
        m_pane.setRoot(m_wizard, WizardNames::kMainWidget);
        settle();
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        m_wizard.reset();
        PXT::Lib::deInit();
    }
    void settle()
    {
        GP::Region region;
        for (int i = 0; i < 10 && m_pane.getDirty() != 0; ++i)
            m_pane.update(region);
    }
    void mouse(const GP::Point& at, unsigned state)
    {
        UIA::MouseButtonEventData data;
        data.pos = at;
        data.button = UIA::eMouseButtonLeft;
        data.state = state;
        m_pane.onEvent(UIA::eEventMouseButton, &data);
    }
    void click(const GP::Point& at)
    {
        mouse(at, UIA::eMouseButtonDown);
        mouse(at, UIA::eMouseButtonUp);
    }
    void doubleClick(const GP::Point& at)
    {
        click(at);
        mouse(at, UIA::eMouseButtonDoubleClick);
        mouse(at, UIA::eMouseButtonUp);
    }
    static GP::Point centre(const PXT::Widget& widget)
    {
        return GP::Point(widget.getAbsolutePos().x + widget.getSize().x / 2,
                         widget.getAbsolutePos().y + widget.getSize().y / 2);
    }
    bool pollPending() const
    {
        auto it = m_pane.getTimers().find(m_wizard.get());
        return it != m_pane.getTimers().end() && it->second > 0;
    }

    PXT::Pane m_pane;
    std::shared_ptr<UpdateWizardMainWidget> m_wizard = makeWizard();
    ScriptedDevice m_device;
};

TEST_F(WizardInPane, TheAboutPanelIsCentredOverTheWholeWizard)
{
    PXT::Button& overlay = WizardView(*m_wizard).overlay();
    m_wizard->showAbout();
    EXPECT_TRUE(overlay.isActive());
    EXPECT_EQ(overlay.getPos(), GP::Point(0, 0));
    EXPECT_EQ(overlay.getSize(), GP::Point(627, 335));
    const PXT::Margin margin = overlay.getMargin();
    EXPECT_EQ((std::vector<int>{margin.left, margin.top, margin.right, margin.bottom}),
              (std::vector<int>{88, 30, 89, 31}));
    m_wizard->hideAbout();
    EXPECT_FALSE(overlay.isActive());
}

TEST_F(WizardInPane, AClickAnywhereOnTheAboutPanelClosesIt)
{
    m_device.runWizard(*m_wizard);
    m_wizard->showAbout();
    settle();
    PXT::Button& overlay = WizardView(*m_wizard).overlay();
    ASSERT_TRUE(overlay.isShown());
    // On the panel's disabled text, and over the hidden wizard's ACTION button.
    for (const GP::Point& at : {centre(WizardView(*m_wizard).get<PXT::Label>(WizardNames::kAboutTitle)),
                                centre(WizardView(*m_wizard).action())}) {
        m_wizard->showAbout();
        settle();
        m_device.calls.clear();
        click(at);
        EXPECT_FALSE(overlay.isActive());
        EXPECT_EQ(m_device.calls, Calls{}) << "the click went to the overlay only";
        settle();
    }
}

TEST_F(WizardInPane, ADoubleClickOnRescanActsOnce)
{
    // Room for the buttons inside the body.
    PXT::StyleSheetManager::get()->getDefaultStyleSheet().createDirect(
        "Bar#FirmwareUpdaterBodyPanel { height: 300; }\n"
        "Bar#FirmwareUpdaterButtonPanel { height: 40; }\n"
        "Bar#FirmwareUpdaterButtonPanel :: Button { width: 80; height: 30; }\n");
    m_wizard->setStyleSheetChanged();
    m_device.runWizard(*m_wizard);
    settle();
    ASSERT_FALSE(WizardView(*m_wizard).action().getClipRect().isEmpty()) << "ACTION inside the pane";
    m_device.connected = true;  // plugged in, needing an update
    m_device.calls.clear();
    doubleClick(centre(WizardView(*m_wizard).action()));
    // The second click lands on UPDATE, which must not reset the controller.
    EXPECT_EQ(m_device.calls, (Calls{"normal", "info"}));
    EXPECT_EQ(m_wizard->getState(), UpdateWizardMainWidget::eStateUpdateAvailable);

    // A single click afterwards is an ordinary UPDATE.
    settle();
    m_device.calls.clear();
    click(centre(WizardView(*m_wizard).action()));
    EXPECT_EQ(m_device.calls, (Calls{"reset", "perform"}));
}

TEST_F(WizardInPane, TheRunningUpdateIsPolledEveryTickUntilItEnds)
{
    m_device.connected = true;
    m_device.runWizard(*m_wizard);
    m_wizard->onAction();
    ASSERT_EQ(m_wizard->getState(), UpdateWizardMainWidget::eStateUpdating);
    settle();
    SpinningProgressWheel& wheel = WizardView(*m_wizard).wheel();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(pollPending()) << "tick " << i;
        m_pane.executeTimers();
    }
    EXPECT_EQ(attribute(wheel, "step"), "S2");

    *m_device.result = -2;
    m_pane.executeTimers();
    EXPECT_EQ(m_wizard->getState(), UpdateWizardMainWidget::eStateUpdateFailed);
    EXPECT_FALSE(pollPending()) << "no poll after the update ended";
}

}  // namespace
