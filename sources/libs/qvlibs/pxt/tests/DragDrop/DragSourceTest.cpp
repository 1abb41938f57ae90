// Widgets as drag sources, without a display: the pane's mouse codes pass the widget's drag-source
// part before its onMouse; a left press the widget agrees to arms a drag, a move far enough starts
// it and ends the press, and the end of a drag started here reaches the widget.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/Window.h"
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

using Codes = std::vector<unsigned>;

class Recorder : public TestWidget {
public:
    Recorder() : TestWidget("Panel") {}
    void onMouse(unsigned code, UIA::MouseEventData*) override { m_codes.push_back(code); }
    bool onEvent(unsigned code, UIA::EventData* data) override
    {
        if (code == UIA::eEventDragDropFinished) {
            m_results.push_back(static_cast<UIA::DragDropFinishedEventData*>(data)->result);
            return true;
        }
        return TestWidget::onEvent(code, data);
    }
    Codes m_codes;
    std::vector<UIA::DragDropSupport::DropResult> m_results;
};

// Pane 120 x 60: the source at (10,10) 40x30, another widget at (60,10) 40x30. The source agrees
// to drags pressed in its upper half (local y below 15).
class DragSources : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        m_window = std::make_unique<PXT::Window<UIA::StandaloneWindow>>();
        pane().setSize(GP::Point(120, 60));
        pane().setRoot(m_root, "root");
        for (auto [widget, x] : {std::pair{m_source, 10}, std::pair{m_other, 60}}) {
            m_root->insertChild(widget, "");
            widget->setPos(GP::Point(x, 10));
            widget->setSize(GP::Point(40, 30));
        }
        GP::Region region;
        pane().update(region);
        m_source->setCanDragStartFunction([this](const GP::Point& p) {
            m_asked.push_back(p);
            return p.y < 15;
        });
        m_source->setDragStartFunction([this](UIA::MouseEventData* data) {
            m_started.push_back(data->pos);
            m_pressedAtStart = pane().getPressedWidget();
        });
    }
    void TearDown() override
    {
        UIA::setDragDropDelegate(nullptr);
        pane().setRoot(nullptr, "");
        m_window.reset();
        ToolkitFixture::TearDown();
    }
    Pane& pane() { return *m_window; }

    void button(int x, int y, unsigned state, unsigned button = UIA::eMouseButtonLeft)
    {
        UIA::MouseButtonEventData data;
        data.pos = GP::Point(x, y);
        data.button = button;
        data.state = state;
        m_window->onEvent(UIA::eEventMouseButton, &data);
    }
    void mouse(unsigned code, int x, int y)
    {
        UIA::MouseEventData data;
        data.pos = GP::Point(x, y);
        m_window->onEvent(code, &data);
    }

    std::unique_ptr<PXT::Window<UIA::StandaloneWindow>> m_window;
    std::shared_ptr<Widget> m_root = std::make_shared<TestWidget>("Root");
    std::shared_ptr<Recorder> m_source = std::make_shared<Recorder>();
    std::shared_ptr<Recorder> m_other = std::make_shared<Recorder>();
    std::vector<GP::Point> m_asked;
    std::vector<GP::Point> m_started;
    std::optional<Widget*> m_pressedAtStart;  // the pane's pressed widget when the drag started
};

TEST_F(DragSources, APressTheWidgetAgreesToStartsADragOnceMovedFarEnough)
{
    button(20, 20, UIA::eMouseButtonDown);
    EXPECT_EQ(m_asked, std::vector<GP::Point>{GP::Point(10, 10)});
    // Squared distances 5, then 8: the first is still a press, the second starts the drag.
    mouse(UIA::eEventMouseDrag, 22, 21);
    EXPECT_TRUE(m_started.empty());
    mouse(UIA::eEventMouseDrag, 22, 22);
    EXPECT_EQ(m_started, std::vector<GP::Point>{GP::Point(12, 12)});
    // The armed press and its moves never reached onMouse.
    EXPECT_TRUE(m_source->m_codes.empty());
    // The press is over before the drag runs.
    EXPECT_EQ(m_pressedAtStart, std::optional<Widget*>(nullptr));
    EXPECT_EQ(pane().getOverWidget(), nullptr);
    EXPECT_FALSE(pane().isLeftButtonDown());

    // The platform's drag took the release; one that still arrives is nobody's up or click.
    button(70, 20, UIA::eMouseButtonUp);
    EXPECT_TRUE(m_source->m_codes.empty());
    EXPECT_TRUE(m_other->m_codes.empty());
    EXPECT_EQ(m_started.size(), 1u);
}

TEST_F(DragSources, PressesThatArmNoDragReachTheWidgetAsUsual)
{
    const struct {
        const char* name;
        int y;            // press height in the pane (the source's upper half ends at 25)
        unsigned button;  // eMouseButton
        unsigned state;   // eMouseButtonState of the press
        Codes codes;      // what the source's onMouse gets for press, drag far, release
    } cases[] = {
        {"refused by the widget",
         35,
         UIA::eMouseButtonLeft,
         UIA::eMouseButtonDown,
         {Pane::eEventLeftButtonDown, Pane::eEventLeftButtonDrag, Pane::eEventLeftButtonUp, Pane::eEventLeftClick}},
        {"right button",
         20,
         UIA::eMouseButtonRight,
         UIA::eMouseButtonDown,
         {Pane::eEventButtonDownBase + 2, Pane::eEventButtonDragBase + 2, Pane::eEventButtonUpBase + 2,
          Pane::eEventRightClick}},
        {"double-click",
         20,
         UIA::eMouseButtonLeft,
         UIA::eMouseButtonDoubleClick,
         {Pane::eEventLeftButtonDown, Pane::eEventLeftDoubleClick, Pane::eEventLeftButtonDrag,
          Pane::eEventLeftButtonUp}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_source->m_codes.clear();
        button(20, c.y, c.state, c.button);
        mouse(UIA::eEventMouseDrag, 40, c.y + 10);
        button(20, c.y, UIA::eMouseButtonUp, c.button);
        EXPECT_EQ(m_source->m_codes, c.codes);
        EXPECT_TRUE(m_started.empty());
    }
}

TEST_F(DragSources, LeavingTheWidgetDisarmsThePress)
{
    mouse(UIA::eEventMouseMove, 20, 20);
    button(20, 20, UIA::eMouseButtonDown);
    mouse(UIA::eEventMouseLeave, 20, 20);
    mouse(UIA::eEventMouseDrag, 45, 30);
    EXPECT_TRUE(m_started.empty());
    EXPECT_EQ(m_source->m_codes,
              (Codes{UIA::eEventMouseEnter, UIA::eEventMouseMove, UIA::eEventMouseLeave, Pane::eEventLeftButtonDrag}));
}

TEST_F(DragSources, TheEndOfADragStartedHereReachesTheSource)
{
    UIA::setDragDropDelegate(UIA::makeWindowingDragDropDelegate());
    UIA::DragDropData payload(7);
    m_source->setDragStartFunction([&](UIA::MouseEventData*) {
        UIA::DNDDelegate::get().DoDragWithCallback(m_source.get(), payload, UIA::DragDropSupport::eDropEffectMove,
                                                   m_window.get(), nullptr);
    });
    button(20, 20, UIA::eMouseButtonDown);
    mouse(UIA::eEventMouseDrag, 30, 30);
    // No view has seen a mouse event here: the drag cannot run and ends at once, with result 0.
    EXPECT_EQ(m_source->m_results,
              std::vector<UIA::DragDropSupport::DropResult>{UIA::DragDropSupport::eDropResultOther});
}

}  // namespace
