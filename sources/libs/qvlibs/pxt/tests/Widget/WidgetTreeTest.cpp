// The widget tree's own rules: the enabled flag, style lookups by value, caches of moved
// subtrees, geometry limits, the box arrangement, the bounded align passes and timers (also of
// widgets erased while their timer runs).
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

class StyledTree : public ToolkitFixture {
protected:
    Pane m_pane;
};

TEST_F(StyledTree, DisablingAWidgetUnderADisabledParentSticks)
{
    auto parent = std::make_shared<TestWidget>("Bar");
    auto child = std::make_shared<TestWidget>("Button");
    parent->insertChild(child, "");
    Pane pane;
    pane.setSize(GP::Point(50, 50));
    pane.setRoot(parent, "root");
    parent->setEnabled(false);
    GP::Region region;
    pane.update(region);
    EXPECT_FALSE(child->isEnabled());
    // isEnabled() is already false here; the child's own flag must still go off.
    child->setEnabled(false);
    parent->setEnabled(true);
    pane.update(region);
    EXPECT_FALSE(child->isEnabled());
    EXPECT_EQ(child->getFlags() & Widget::eFlagEnabled, 0u);
    child->setEnabled(true);
    pane.update(region);
    EXPECT_TRUE(child->isEnabled());
    pane.setRoot(nullptr, "");
}

TEST_F(StyledTree, AMovedSubtreeMatchesTheRulesOfItsNewPlace)
{
    defaultSheet().createDirect("Bar#a Label { width: 11; } Bar#b Label { width: 22; }");
    auto root = std::make_shared<TestWidget>("Bar");
    auto a = std::make_shared<TestWidget>("Bar");
    auto b = std::make_shared<TestWidget>("Bar");
    auto box = std::make_shared<TestWidget>("Box");
    auto label = std::make_shared<TestWidget>("Label");
    m_pane.setRoot(root, "root");
    root->insertChild(a, "a");
    root->insertChild(b, "b");
    a->insertChild(box, "box");
    box->insertChild(label, "label");
    EXPECT_EQ(label->getStyleProperty<int>("width", 0), 11);
    b->insertChild(box, "box");
    EXPECT_EQ(label->getStyleProperty<int>("width", 0), 22);
    m_pane.setRoot(nullptr, "");
}

TEST_F(StyledTree, StyleLookupsGiveValuesNotReferencesToTheDefault)
{
    defaultSheet().createDirect("Label { width: no; }");
    auto label = std::make_shared<TestWidget>("Label");
    bool found = false;
    // The default is a temporary: the result must outlive it.
    const int outside = label->getStyleProperty<int>("width", 5, &found);
    EXPECT_EQ(outside, 5);
    EXPECT_FALSE(found);
    m_pane.setRoot(label, "root");
    EXPECT_EQ(label->getStyleProperty<int>("width", 5, &found), 0);
    EXPECT_TRUE(found);
    m_pane.setRoot(nullptr, "");
}

TEST_F(StyledTree, StyleDrivesSizeMarginsAndPosition)
{
    defaultSheet().createDirect("Label { width: 100; margin: 4; margin-left: 1; }\n"
                                "Label#fixed { x: 7; y: 8; }");
    auto root = std::make_shared<TestWidget>("Bar");
    auto label = std::make_shared<TestWidget>("Label");
    auto fixed = std::make_shared<TestWidget>("Label");
    m_pane.setSize(GP::Point(200, 100));
    m_pane.setRoot(root, "root");
    root->insertChild(label, "");
    root->insertChild(fixed, "fixed");
    label->styleDefault(nullptr);
    GP::Region region;
    m_pane.update(region);
    EXPECT_EQ(label->getSize(), GP::Point(100, 18));
    label->setSize(GP::Point(30, 30));
    EXPECT_EQ(label->getSize(), GP::Point(100, 30));
    EXPECT_EQ(label->getMargin(), (Margin{1, 4, 4, 4}));
    EXPECT_EQ(fixed->getPos(), GP::Point(7, 8));
    EXPECT_TRUE(fixed->isNoAlign());
    root->arrangeChilds(eArrangeTopToBottom, 0);
    EXPECT_EQ(fixed->getPos(), GP::Point(7, 8));
    m_pane.setRoot(nullptr, "");
}

TEST_F(StyledTree, SizesKeepToTheirLimits)
{
    auto w = std::make_shared<TestWidget>("Label");
    w->setMinSize(GP::Point(18, 18));
    w->setSize(GP::Point(10, 10));
    EXPECT_EQ(w->getSize(), GP::Point(18, 18));
    w->setMinSize(GP::Point(0, 0));
    w->setMaxSize(GP::Point(12, 0));
    w->setSize(GP::Point(10, 10));
    EXPECT_EQ(w->getSize(), GP::Point(10, 10));
    w->setSize(GP::Point(20, 20));
    EXPECT_EQ(w->getSize(), GP::Point(12, 20));
}

struct tArrangeCase {
    const char* name;
    eWidgetAlignment alignment;
    Margin margin;                 // the container's
    std::vector<GP::Point> sizes;  // the children's before
    Margin outer;                  // every child's outer margin
    int spacing;
    std::vector<GP::Point> positions;  // after
    std::vector<GP::Point> sizesAfter;
};

TEST_F(StyledTree, ArrangementAlongEachDirection)
{
    const tArrangeCase cases[] = {
        {"top to bottom",
         eArrangeTopToBottom,
         {},
         {{5, 10}, {5, 20}, {5, 30}},
         {},
         5,
         {{0, 0}, {0, 15}, {0, 40}},
         {{100, 10}, {100, 20}, {100, 30}}},
        {"top to bottom, margins",
         eArrangeTopToBottom,
         {2, 3, 4, 5},
         {{5, 10}, {5, 20}},
         {1, 1, 1, 1},
         2,
         {{1, 1}, {1, 15}},
         {{92, 10}, {92, 20}}},
        {"left to right",
         eArrangeLeftToRight,
         {0, 5, 0, 5},
         {{10, 1}, {20, 1}},
         {},
         3,
         {{0, 0}, {13, 0}},
         {{10, 40}, {20, 40}}},
        {"right to left",
         eArrangeRightToLeft,
         {5, 0, 5, 0},
         {{10, 1}, {20, 1}},
         {},
         0,
         {{80, 0}, {60, 0}},
         {{10, 50}, {20, 50}}},
        {"bottom to top",
         eArrangeBottomToTop,
         {},
         {{1, 10}, {1, 20}},
         {0, 0, 0, 2},
         1,
         {{0, 38}, {0, 15}},
         {{100, 10}, {100, 20}}},
        {"no direction", eWidgetAlignment(2), {}, {{1, 10}}, {}, 0, {{0, 0}}, {{1, 10}}},
    };
    for (const tArrangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = std::make_shared<TestWidget>("Bar");
        box->setSize(GP::Point(100, 50));
        box->setMargin(c.margin);
        std::vector<std::shared_ptr<TestWidget>> children;
        for (const GP::Point& size : c.sizes) {
            auto child = std::make_shared<TestWidget>("Label");
            child->setSize(size);
            child->setOuterMargin(c.outer);
            box->insertChild(child, "");
            children.push_back(child);
        }
        // An inactive child takes no part.
        auto hidden = std::make_shared<TestWidget>("Label");
        hidden->setActive(false);
        hidden->setPos(GP::Point(-1, -1));
        box->insertChild(hidden, "");
        box->arrangeChilds(c.alignment, c.spacing);
        for (std::size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(children[i]->getPos(), c.positions[i]) << i;
            EXPECT_EQ(children[i]->getSize(), c.sizesAfter[i]) << i;
        }
        EXPECT_EQ(hidden->getPos(), GP::Point(-1, -1));
    }
}

// Lays out its children along one direction whenever it is aligned.
class Box : public TestWidget {
public:
    explicit Box(eWidgetAlignment direction) : TestWidget("Box"), m_direction(direction) {}
    void onAlign() override { arrangeChilds(m_direction, 2); }

private:
    eWidgetAlignment m_direction;
};

TEST_F(StyledTree, NestedArrangementsGiveAbsolutePositionsAndClips)
{
    // A column of two rows, each row holding two cells side by side; the column is 60 wide.
    auto column = std::make_shared<Box>(eArrangeTopToBottom);
    column->setMargin(Margin{1, 1, 1, 1});
    std::vector<std::shared_ptr<TestWidget>> cells;
    for (int r = 0; r < 2; ++r) {
        auto row = std::make_shared<Box>(eArrangeLeftToRight);
        row->setSize(GP::Point(0, 12));
        row->setMargin(Margin{2, 2, 2, 2});
        column->insertChild(row, "");
        for (int c = 0; c < 2; ++c) {
            auto cell = std::make_shared<TestWidget>("Label");
            cell->setSize(GP::Point(30, 1));
            row->insertChild(cell, "");
            cells.push_back(cell);
        }
    }
    m_pane.setSize(GP::Point(60, 40));
    m_pane.setRoot(column, "root");
    GP::Region region;
    m_pane.update(region);
    struct {
        GP::Point absolute;
        GP::Point size;
        GP::Rect clip;  // cut by the row's content (width 58 - 4) and the column's
    } const expected[] = {
        {{3, 3}, {30, 8}, {3, 3, 33, 11}},
        {{35, 3}, {30, 8}, {35, 3, 57, 11}},  // beyond the row's content edge at 57
        {{3, 17}, {30, 8}, {3, 17, 33, 25}},
        {{35, 17}, {30, 8}, {35, 17, 57, 25}},
    };
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i]->getAbsolutePos(), expected[i].absolute) << i;
        EXPECT_EQ(cells[i]->getSize(), expected[i].size) << i;
        EXPECT_EQ(cells[i]->getClipRect(), expected[i].clip) << i;
    }
    EXPECT_EQ(region.getBounds(), GP::Rect(0, 0, 60, 40));
    m_pane.setRoot(nullptr, "");
}

// Asks for another align pass from each of its aligns, `m_more` times.
class Restless : public TestWidget {
public:
    Restless() : TestWidget("Label") {}
    void onAlign() override
    {
        ++m_aligns;
        if (m_more > 0) {
            --m_more;
            setAlign();
        }
    }
    void onTimer() override { ++m_timers; }
    int m_more = 0;
    int m_aligns = 0;
    int m_timers = 0;
};

TEST_F(StyledTree, AlignPassesAreBoundedPerUpdateAndTheRestRunsOnTheNext)
{
    Pane pane;
    pane.setSize(GP::Point(50, 50));
    auto root = std::make_shared<TestWidget>("Bar");
    auto restless = std::make_shared<Restless>();
    root->insertChild(restless, "");
    pane.setRoot(root, "root");
    GP::Region region;
    pane.update(region);
    restless->m_aligns = 0;
    restless->m_more = 7;
    restless->setAlign();
    pane.update(region);
    EXPECT_EQ(restless->m_aligns, 5);
    // The request raised in the fifth pass is not lost.
    EXPECT_NE(pane.getDirty() & Pane::eDirtyAlign, 0u);
    pane.update(region);
    EXPECT_EQ(restless->m_aligns, 8);
    pane.update(region);
    EXPECT_EQ(restless->m_aligns, 8);
    pane.setRoot(nullptr, "");
}

TEST_F(StyledTree, CountedPerTimerRunWhileShown)
{
    Pane pane;
    pane.setSize(GP::Point(50, 50));
    auto root = std::make_shared<TestWidget>("Bar");
    // Outside a pane the last count waits for the align pass; 0 or less cancels it.
    auto cancelled = std::make_shared<Restless>();
    cancelled->setTimer(2);
    cancelled->setTimer(-3);
    root->insertChild(cancelled, "cancelled");
    auto widget = std::make_shared<Restless>();
    widget->setTimer(-3);
    widget->setTimer(2);
    root->insertChild(widget, "");
    pane.setRoot(root, "root");
    GP::Region region;
    pane.update(region);
    EXPECT_EQ(pane.getTimers().count(cancelled.get()), 0u);
    ASSERT_EQ(pane.getTimers().count(widget.get()), 1u);
    pane.executeTimers();
    EXPECT_EQ(widget->m_timers, 0);
    pane.executeTimers();
    EXPECT_EQ(widget->m_timers, 1);
    pane.executeTimers();
    EXPECT_EQ(pane.getTimers().count(widget.get()), 0u);

    // Hidden: the count waits.
    widget->setTimer(1);
    widget->setActive(false);
    pane.update(region);
    pane.executeTimers();
    pane.executeTimers();
    EXPECT_EQ(widget->m_timers, 1);
    widget->setActive(true);
    pane.update(region);
    pane.executeTimers();
    EXPECT_EQ(widget->m_timers, 2);
    // Cancelled: never runs.
    widget->setTimer(3);
    widget->setTimer(0);
    for (int i = 0; i < 4; ++i)
        pane.executeTimers();
    EXPECT_EQ(widget->m_timers, 2);
    pane.setRoot(nullptr, "");
}

// Counts its timer runs in a counter that outlives it.
class TimedWidget : public TestWidget {
public:
    explicit TimedWidget(int& fired) : TestWidget("Label"), m_fired(fired) {}
    void onTimer() override { ++m_fired; }

private:
    int& m_fired;
};

TEST_F(StyledTree, AWidgetErasedWhileItsTimerRunsNeverHearsIt)
{
    for (const bool kept : {true, false}) {
        SCOPED_TRACE(kept ? "kept by its owner" : "destroyed");
        Pane pane;
        pane.setSize(GP::Point(50, 50));
        auto root = std::make_shared<TestWidget>("Bar");
        pane.setRoot(root, "root");
        int fired = 0;
        auto widget = std::make_shared<TimedWidget>(fired);
        root->insertChild(widget, "");
        widget->setTimer(2);
        GP::Region region;
        pane.update(region);
        pane.executeTimers();
        root->eraseChild(*widget);
        if (!kept)
            widget.reset();
        for (int i = 0; i < 3; ++i)
            pane.executeTimers();
        EXPECT_EQ(fired, 0);
        EXPECT_TRUE(pane.getTimers().empty());
        pane.setRoot(nullptr, "");
    }
}

}  // namespace
