// Changes after the first layout repainted through the real tick (update collects the dirty region,
// only that region is painted): moved and resized parents, hidden and erased widgets, hover, paint
// order by z-index and foreground pass, overlays, the cleared dirty area and the region's bounds.
// The fixture's helpers are public: the state table's steps call them.
#include "Support/PaneFixture.h"
#include "Support/PixelText.h"
#include "Support/TestWidgets.h"

#include "PXT/BackgroundDrawingCanvas.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF,
                        kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF;

const char* const kSheet =
    "Panel { background-color: rgb(255, 0, 0); }\n"
    "Panel.blue { background-color: rgb(0, 0, 255); }\n"
    "Panel.st-over, Panel.st-down, Panel.st-selected, Panel.st-focus {\n"
    "    background-color: rgb(0, 0, 255); }\n"
    "Panel.st-over:over, Panel.st-down:down, Panel.st-selected:selected, Panel.st-focus:focus {\n"
    "    background-color: rgb(255, 255, 255); }\n"
    "Panel.green { background-color: rgb(0, 255, 0); }\n"
    "Panel.green[raised=yes] { z-index: 2; }\n"
    "Panel.yellow { background-color: rgb(255, 255, 0); z-index: 1; }\n"
    "Panel.cover { background-color: rgb(0, 255, 255); draw_foreground: true; }\n"
    "Panel.plain { background-color: rgb(0, 255, 0); }\n"
    "Panel.plain:selected { background-color: no; }\n";

// Counts the hook that runs after a paint that followed a clip change.
class PostPaintCounter : public PanelWidget {
public:
    PostPaintCounter() : PanelWidget("Panel") {}
    void onPostPaintAlign() override { ++m_postPaints; }
    int m_postPaints = 0;
};

class Repainting : public PaneFixture {
public:
    Repainting() : PaneFixture(kSheet) {}
    void SetUp() override
    {
        PaneFixture::SetUp();
        tick();
    }
    std::shared_ptr<PanelWidget> add(Widget& parent, const char* style, GP::Rect r)
    {
        auto widget = std::make_shared<PanelWidget>("Panel");
        widget->setStyle(style);
        parent.insertChild(widget, "");
        widget->setPos(GP::Point(r.left, r.top));
        widget->setSize(GP::Point(r.right - r.left, r.bottom - r.top));
        return widget;
    }
    void mouse(unsigned code, GP::Point pos)
    {
        UIA::MouseEventData data;
        data.pos = pos;
        m_pane.onEvent(code, &data);
    }
    void button(GP::Point pos, unsigned state)
    {
        UIA::MouseButtonEventData data;
        data.pos = pos;
        data.button = 1;
        data.state = state;
        m_pane.onEvent(UIA::eEventMouseButton, &data);
    }
};

TEST_F(Repainting, ChildrenFollowTheirParentWhenItMovesOrResizesLater)
{
    const struct {
        const char* name;
        GP::Rect parentAfter;  // left, top, right, bottom in the root
        GP::Point childAbsolute;
        GP::Rect childClip;
        GP::Point oldPlace;  // a pixel of the child's first place, now the root's
    } cases[] = {
        {"moved", {50, 20, 80, 50}, {55, 25}, {55, 25, 65, 35}, {15, 15}},
        {"shrunk under the child", {10, 10, 22, 22}, {15, 15}, {15, 15, 22, 22}, {23, 23}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_root->clearChildren();
        auto parent = add(*m_root, "blue", GP::Rect(10, 10, 40, 40));
        auto child = add(*parent, "green", GP::Rect(5, 5, 15, 15));
        tick();
        ASSERT_EQ(pixel(15, 15), hex(kGreen));
        parent->setPos(GP::Point(c.parentAfter.left, c.parentAfter.top));
        parent->setSize(GP::Point(c.parentAfter.right - c.parentAfter.left, c.parentAfter.bottom - c.parentAfter.top));
        tick();
        EXPECT_EQ(child->getAbsolutePos(), c.childAbsolute);
        EXPECT_EQ(child->getClipRect(), c.childClip);
        EXPECT_EQ(pixel(c.childClip.left, c.childClip.top), hex(kGreen));
        EXPECT_EQ(pixel(c.childClip.right - 1, c.childClip.bottom - 1), hex(kGreen));
        EXPECT_EQ(pixel(c.oldPlace.x, c.oldPlace.y), hex(kRed));
    }
}

TEST_F(Repainting, AWidgetHiddenAfterTheFirstLayoutLeavesTheScreenAndComesBack)
{
    // A row of two cells laid out by their parent, as the wizard's buttons are.
    class Row : public PanelWidget {
    public:
        Row() : PanelWidget("Panel") {}
        void onAlign() override { arrangeChilds(eArrangeLeftToRight, 0); }
    };
    auto row = std::make_shared<Row>();
    row->setStyle("blue");
    m_root->insertChild(row, "");
    row->setPos(GP::Point(10, 10));
    row->setSize(GP::Point(80, 20));
    auto first = add(*row, "green", GP::Rect(0, 0, 20, 20));
    auto second = add(*row, "yellow", GP::Rect(0, 0, 30, 20));
    tick();
    ASSERT_EQ(pixel(15, 15), hex(kGreen));
    ASSERT_EQ(pixel(35, 15), hex(kYellow));

    first->setActive(false);
    tick();
    EXPECT_EQ(second->getPos(), GP::Point(0, 0));
    EXPECT_EQ(pixel(15, 15), hex(kYellow));
    EXPECT_EQ(pixel(45, 15), hex(kBlue));  // the second cell's old right part

    first->setActive(true);
    tick();
    EXPECT_EQ(second->getPos(), GP::Point(20, 0));
    EXPECT_EQ(pixel(15, 15), hex(kGreen));
    EXPECT_EQ(pixel(45, 15), hex(kYellow));

    // Hidden alone, without a layout that moves anything else.
    second->setActive(false);
    tick();
    EXPECT_EQ(pixel(35, 15), hex(kBlue));
}

TEST_F(Repainting, AnErasedWidgetLeavesTheScreen)
{
    auto parent = add(*m_root, "blue", GP::Rect(10, 10, 70, 40));
    auto first = add(*parent, "green", GP::Rect(0, 0, 20, 20));
    auto second = add(*parent, "yellow", GP::Rect(30, 0, 50, 20));
    tick();
    ASSERT_EQ(pixel(15, 15), hex(kGreen));
    ASSERT_EQ(pixel(45, 15), hex(kYellow));

    parent->eraseChild(*second);
    tick();
    EXPECT_EQ(pixel(45, 15), hex(kBlue));
    EXPECT_EQ(pixel(15, 15), hex(kGreen));

    parent->clearChildren();
    tick();
    EXPECT_EQ(pixel(15, 15), hex(kBlue));
}

TEST_F(Repainting, EachStateChangeIsRepaintedAndUndone)
{
    struct tCase {
        const char* state;  // the box's style is "st-<state>"
        void (*enter)(Repainting&, Widget&);
        void (*leave)(Repainting&, Widget&);
    };
    const tCase cases[] = {
        {"over", [](Repainting& t, Widget&) { t.mouse(UIA::eEventMouseMove, GP::Point(20, 20)); },
         [](Repainting& t, Widget&) { t.mouse(UIA::eEventMouseMove, GP::Point(80, 50)); }},
        {"down", [](Repainting& t, Widget&) { t.button(GP::Point(20, 20), UIA::eMouseButtonDown); },
         [](Repainting& t, Widget&) { t.button(GP::Point(20, 20), UIA::eMouseButtonUp); }},
        {"selected", [](Repainting&, Widget& box) { box.setSelected(true); },
         [](Repainting&, Widget& box) { box.setSelected(false); }},
        {"focus",
         [](Repainting&, Widget& box) {
             box.setCanFocus(true);
             box.setFocus();
         },
         [](Repainting& t, Widget&) {
             t.m_root->setCanFocus(true);
             t.m_root->setFocus();
         }},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.state);
        m_root->clearChildren();
        auto box = add(*m_root, (std::string("st-") + c.state).c_str(), GP::Rect(10, 10, 40, 30));
        // Only where the over look is tested: an over change repaints too and would hide the others.
        box->setCanOver(c.state == std::string("over"));
        tick();
        ASSERT_EQ(pixel(20, 20), hex(kBlue));
        c.enter(*this, *box);
        EXPECT_EQ(tick(), GP::Rect(10, 10, 40, 30));
        EXPECT_EQ(pixel(20, 20), hex(kWhite));
        c.leave(*this, *box);
        tick();
        EXPECT_EQ(pixel(20, 20), hex(kBlue));
    }
}

TEST_F(Repainting, AStateRuleSayingNoTakesAwayThePlainRulesColour)
{
    auto box = add(*m_root, "plain", GP::Rect(10, 10, 40, 30));
    tick();
    ASSERT_EQ(pixel(20, 20), hex(kGreen));
    box->setSelected(true);
    tick();
    EXPECT_EQ(pixel(20, 20), hex(kRed));  // no fill of its own: the root shows
    box->setSelected(false);
    tick();
    EXPECT_EQ(pixel(20, 20), hex(kGreen));
}

TEST_F(Repainting, ChildrenPaintInZIndexOrderAndARuleChangingItReordersThem)
{
    // Three children on one spot: green (z 0), then yellow (z 1), then green again.
    auto low = add(*m_root, "green", GP::Rect(10, 10, 30, 30));
    auto high = add(*m_root, "yellow", GP::Rect(10, 10, 30, 30));
    auto later = add(*m_root, "green", GP::Rect(20, 20, 40, 40));
    tick();
    EXPECT_EQ(pixel(15, 15), hex(kYellow));  // above the first green
    EXPECT_EQ(pixel(25, 25), hex(kYellow));  // above the later green, inserted after it
    EXPECT_EQ(pixel(35, 35), hex(kGreen));

    // A rule raises the later green above the yellow.
    later->setAttribute("raised", "yes");
    tick();
    EXPECT_EQ(later->getZIndex(), 2);
    EXPECT_EQ(pixel(25, 25), hex(kGreen));
    EXPECT_EQ(pixel(15, 15), hex(kYellow));
    // The hit test takes the topmost too.
    UIA::MouseEventData at;
    at.pos = GP::Point(25, 25);
    EXPECT_EQ(m_pane.filterMouseEventAndLocateTarget(UIA::eEventMouseMove, &at).second, later);
    at.pos = GP::Point(15, 15);
    EXPECT_EQ(m_pane.filterMouseEventAndLocateTarget(UIA::eEventMouseMove, &at).second, high);
}

TEST_F(Repainting, AForegroundWidgetPaintsOverItsChildren)
{
    const struct {
        const char* style;
        std::uint32_t overChild;
    } cases[] = {
        {"cover", kCyan},  // draw_foreground: after its children
        {"blue", kGreen},  // the default: before them
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        m_root->clearChildren();
        auto parent = add(*m_root, c.style, GP::Rect(10, 10, 50, 50));
        add(*parent, "green", GP::Rect(5, 5, 15, 15));
        tick();
        EXPECT_EQ(pixel(20, 20), hex(c.overChild));
        EXPECT_EQ(pixel(12, 12), hex(c.style == std::string("cover") ? kCyan : kBlue));
    }
}

TEST_F(Repainting, AnOverlayIsNotCutToItsParent)
{
    auto parent = add(*m_root, "blue", GP::Rect(10, 10, 30, 30));
    auto overlay = add(*parent, "green", GP::Rect(10, 10, 40, 30));
    overlay->setOverlay(true);
    m_pane.addOverlayWidget(overlay);
    tick();
    EXPECT_EQ(overlay->getClipRect(), GP::Rect(20, 20, 50, 40));
    EXPECT_EQ(pixel(45, 35), hex(kGreen));  // beyond the parent
    EXPECT_EQ(pixel(25, 25), hex(kGreen));
    EXPECT_EQ(pixel(15, 15), hex(kBlue));
    m_pane.eraseAllOverlayWidgets();
}

TEST_F(Repainting, AnOverlayLeavesTheScreenWithItsHiddenParent)
{
    // The overlay reaches beyond its grandparent, which is all that hiding the parent repaints.
    auto grandparent = add(*m_root, "blue", GP::Rect(10, 10, 30, 30));
    auto parent = add(*grandparent, "yellow", GP::Rect(0, 0, 20, 20));
    auto overlay = add(*parent, "green", GP::Rect(10, 10, 40, 30));
    overlay->setOverlay(true);
    m_pane.addOverlayWidget(overlay);
    tick();
    ASSERT_EQ(pixel(45, 35), hex(kGreen));
    parent->setActive(false);
    tick();
    EXPECT_EQ(pixel(45, 35), hex(kRed));
    EXPECT_EQ(pixel(15, 15), hex(kBlue));
    m_pane.eraseAllOverlayWidgets();
}

TEST_F(Repainting, AnOverlayChangedWithItsParentIsRepaintedBeyondIt)
{
    // The parent repaints whole, which covers only its own rectangle.
    auto parent = add(*m_root, "st-selected", GP::Rect(10, 10, 30, 30));
    auto overlay = add(*parent, "st-selected", GP::Rect(10, 10, 40, 30));
    overlay->setOverlay(true);
    m_pane.addOverlayWidget(overlay);
    tick();
    ASSERT_EQ(pixel(45, 35), hex(kBlue));
    parent->setSelected(true);
    overlay->setSelected(true);
    tick();
    EXPECT_EQ(pixel(15, 15), hex(kWhite));
    EXPECT_EQ(pixel(45, 35), hex(kWhite));
    m_pane.eraseAllOverlayWidgets();
}

TEST_F(Repainting, TheSameAttributeValueAsksForNothing)
{
    auto box = add(*m_root, "blue", GP::Rect(10, 10, 40, 30));
    box->setAttribute("kind", "a");
    tick();
    box->setAttribute("kind", "a");
    EXPECT_EQ(box->getFlags() & Widget::eFlagStyleChanged, 0u);
    EXPECT_TRUE(tick().isEmpty());
    box->setAttribute("kind", "b");
    EXPECT_NE(box->getFlags() & Widget::eFlagStyleChanged, 0u);
    EXPECT_FALSE(tick().isEmpty());
}

TEST_F(Repainting, AnInvalidWidgetGivesItsWholeRectangleCutToThePane)
{
    const struct {
        const char* name;
        GP::Rect parent;
        GP::Rect child;     // in the parent
        GP::Rect expected;  // the collected region's bounds
    } cases[] = {
        {"beyond its parent", {10, 10, 40, 40}, {20, 20, 50, 50}, {30, 30, 60, 60}},
        {"beyond the pane", {0, 0, 100, 60}, {80, 40, 120, 80}, {80, 40, 100, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_root->clearChildren();
        auto parent = add(*m_root, "blue", c.parent);
        auto child = add(*parent, "green", c.child);
        tick();
        child->setInvalid();
        GP::Region region;
        m_pane.update(region);
        EXPECT_EQ(region.getBounds(), c.expected);
    }
}

TEST_F(Repainting, ARegionAWidgetGivesItselfIsTakenAtTheWidgetsPlace)
{
    // Invalid only in a 4 x 3 corner of its own.
    class Corner : public PanelWidget {
    public:
        Corner() : PanelWidget("Panel") {}
        eInvalidRegion getInvalidRegion(GP::Region& out, unsigned) override
        {
            out.addFast(GP::Rect(2, 1, 6, 4));
            return eInvalidRegionGiven;
        }
    };
    auto parent = add(*m_root, "blue", GP::Rect(10, 10, 60, 50));
    auto corner = std::make_shared<Corner>();
    parent->insertChild(corner, "");
    corner->setPos(GP::Point(20, 5));
    corner->setSize(GP::Point(20, 20));
    tick();
    corner->setInvalid();
    GP::Region region;
    m_pane.update(region);
    EXPECT_EQ(region.getBounds(), GP::Rect(32, 16, 36, 19));
}

TEST_F(Repainting, TheDirtyAreaIsClearedBeforeAWidgetWithoutBackgroundPaints)
{
    // A root that paints nothing: whatever lay in the dirty area must not show through.
    auto bare = std::make_shared<PanelWidget>("Bare");
    m_pane.setRoot(bare, "root");
    auto box = add(*bare, "green", GP::Rect(10, 10, 30, 30));
    tick();
    ASSERT_EQ(pixel(15, 15), hex(kGreen));
    box->setPos(GP::Point(60, 20));
    tick();
    EXPECT_EQ(pixel(15, 15), hex(0x00000000));
    EXPECT_EQ(pixel(65, 25), hex(kGreen));
    m_pane.setRoot(m_root, "root");
}

TEST_F(Repainting, ThePostPaintHookFollowsAPaintAfterAClipChange)
{
    auto counter = std::make_shared<PostPaintCounter>();
    counter->setStyle("green");
    m_root->insertChild(counter, "");
    counter->setSize(GP::Point(10, 10));
    tick();
    EXPECT_EQ(counter->m_postPaints, 1);
    tick();
    EXPECT_EQ(counter->m_postPaints, 1);
    counter->setPos(GP::Point(20, 20));
    tick();
    EXPECT_EQ(counter->m_postPaints, 2);
}

}  // namespace
