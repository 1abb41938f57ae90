// Bars lining up their children: rows and columns, spacing and margins from the sheet, hidden
// children, the breadth that follows the largest child within the sheet's limits, and the
// diagnostic for a breadth that the sheet also fixes.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/Bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace QV;
using namespace QV::PXT;
using namespace QV::PXT::TEST;

const char* const kSheet = "Bar.col { width: 100; height: 150; margin: 5; spacing: 2; }\n"
                           "Bar.row { width: 150; height: 40; margin-left: 4; margin-top: 1; spacing: 3; }\n"
                           "Bar.rtl { width: 100; height: 40; spacing: 1; }\n"
                           "Bar.btt { width: 40; height: 100; }\n"
                           "Bar.grow { width: 150; min-height: 0; margin-top: 2; margin-bottom: 3; }\n"
                           "Bar.capped { width: 150; max-height: 25; }\n"
                           "Bar.vgrow { height: 150; margin-left: 1; margin-right: 1; }\n"
                           "Bar.fixed { width: 150; height: 12; }\n"
                           "Item.a { width: 10; height: 10; }\n"
                           "Item.b { width: 20; height: 30; }\n"
                           "Item.c { width: 15; height: 20; outer-margin-top: 4; outer-margin-left: 6; }\n"
                           "Item.ca { height: 10; }\n"
                           "Item.cb { height: 30; }\n"
                           "Item.ra { width: 10; }\n"
                           "Item.rb { width: 20; }\n"
                           "Item.rc { width: 15; outer-margin-top: 4; outer-margin-left: 6; }\n"
                           "Item.rr { width: 20; outer-margin-left: 3; outer-margin-right: 5; }\n"
                           "Item.cm { height: 10; outer-margin-top: 2; outer-margin-bottom: 4; }\n";

class Bars : public ToolkitFixture {
protected:
    void SetUp() override
    {
        ToolkitFixture::SetUp();
        defaultSheet().createDirect(kSheet);
        m_pane.setSize(GP::Point(300, 300));
        m_pane.setRoot(m_root, "root");
    }
    void TearDown() override
    {
        m_pane.setRoot(nullptr, "");
        ToolkitFixture::TearDown();
    }
    Bar& addBar(eWidgetAlignment alignment, const char* style)
    {
        Bar& bar = m_root->insertChild(std::make_shared<Bar>(), "bar");
        bar.style(alignment, style);
        return bar;
    }
    TestWidget& addItem(Bar& bar, const std::string& style)
    {
        TestWidget& item = bar.insertChild(std::make_shared<TestWidget>("Item"), "");
        item.setStyle(style);
        return item;
    }
    void align()
    {
        GP::Region region;
        m_pane.update(region);
    }

    Pane m_pane;
    std::shared_ptr<TestWidget> m_root = std::make_shared<TestWidget>("Root");
};

struct tLayoutCase {
    const char* name;
    eWidgetAlignment alignment;
    const char* barStyle;
    std::vector<std::string> items;  // item styles; a leading '-' hides the item (sized 40 x 40)
    bool breadthMax;
    GP::Point barSize;
    std::vector<GP::Rect> expected;  // x, y, width, height of each shown item, in the bar's content
};

TEST_F(Bars, LayoutTable)
{
    const std::vector<tLayoutCase> cases = {
        {"column with margins and spacing",
         eArrangeTopToBottom,
         "col",
         {"ca", "ca", "ca"},
         false,
         {100, 150},
         {{0, 0, 90, 10}, {0, 12, 90, 10}, {0, 24, 90, 10}}},
        {"row with spacing and outer margins",
         eArrangeLeftToRight,
         "row",
         {"ra", "rb", "rc"},
         false,
         {150, 40},
         {{0, 0, 10, 39}, {13, 0, 20, 39}, {42, 4, 15, 35}}},
        {"hidden child is skipped",
         eArrangeTopToBottom,
         "col",
         {"ca", "-cb", "ca"},
         false,
         {100, 150},
         {{0, 0, 90, 10}, {0, 12, 90, 10}}},
        {"right to left",
         eArrangeRightToLeft,
         "rtl",
         {"ra", "rb"},
         false,
         {100, 40},
         {{90, 0, 10, 40}, {69, 0, 20, 40}}},
        {"bottom to top",
         eArrangeBottomToTop,
         "btt",
         {"ca", "cb"},
         false,
         {40, 100},
         {{0, 90, 40, 10}, {0, 60, 40, 30}}},
        {"right to left with outer margins",
         eArrangeRightToLeft,
         "rtl",
         {"rr", "ra"},
         false,
         {100, 40},
         {{75, 0, 20, 40}, {61, 0, 10, 40}}},
        {"bottom to top with outer margins",
         eArrangeBottomToTop,
         "btt",
         {"cm", "ca"},
         false,
         {40, 100},
         {{0, 86, 40, 10}, {0, 74, 40, 10}}},
        {"row breadth follows the largest child plus margins",
         eArrangeLeftToRight,
         "grow",
         {"a", "b"},
         true,
         {150, 35},
         {{0, 0, 10, 10}, {10, 0, 20, 30}}},
        {"hidden child does not count for the breadth",
         eArrangeLeftToRight,
         "grow",
         {"a", "-b"},
         true,
         {150, 15},
         {{0, 0, 10, 10}}},
        {"breadth within the sheet's maximum",
         eArrangeLeftToRight,
         "capped",
         {"a", "b"},
         true,
         {150, 25},
         {{0, 0, 10, 10}, {10, 0, 20, 30}}},
        {"column breadth with outer margins",
         eArrangeTopToBottom,
         "vgrow",
         {"a", "c"},
         true,
         {23, 150},
         {{0, 0, 10, 10}, {6, 14, 15, 20}}},
    };
    for (const tLayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_root->clearChildren();
        Bar& bar = addBar(c.alignment, c.barStyle);
        if (c.breadthMax)
            bar.styleBreadthMax();
        std::vector<TestWidget*> shown;
        for (const std::string& style : c.items) {
            TestWidget& item = addItem(bar, style[0] == '-' ? style.substr(1) : style);
            if (style[0] == '-') {
                // Never aligned, so its style gives it no size: one large enough to count if counted.
                item.setSize(GP::Point(40, 40));
                item.setActive(false);
            } else
                shown.push_back(&item);
        }
        align();
        EXPECT_EQ(bar.getSize(), c.barSize);
        ASSERT_EQ(shown.size(), c.expected.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            SCOPED_TRACE(i);
            const GP::Rect& r = c.expected[i];
            EXPECT_EQ(shown[i]->getPos(), GP::Point(r.left, r.top));
            EXPECT_EQ(shown[i]->getSize(), GP::Point(r.right, r.bottom));
        }
    }
}

TEST_F(Bars, ChangingTheAlignmentRearrangesAtTheNextUpdate)
{
    Bar& bar = addBar(eArrangeTopToBottom, "rtl");
    TestWidget& a = addItem(bar, "a");
    TestWidget& b = addItem(bar, "a");
    align();
    EXPECT_EQ(b.getPos(), GP::Point(0, 11));
    bar.style(eArrangeLeftToRight, "rtl");
    align();
    EXPECT_EQ(a.getPos(), GP::Point(0, 0));
    EXPECT_EQ(b.getPos(), GP::Point(11, 0));
    EXPECT_TRUE(bar.isHorizontal());
}

TEST_F(Bars, AFixedBreadthWithBreadthMaxIsReportedOnEveryStyleEvaluation)
{
    Bar& bar = addBar(eArrangeLeftToRight, "fixed");
    bar.setId("toolbar");
    addItem(bar, "b");
    align();
    EXPECT_EQ(logged("Layout contradiction"), 0u);  // no computed breadth, no contradiction

    bar.styleBreadthMax();
    bar.setStyleSheetChanged();
    align();
    ASSERT_EQ(logged("Layout contradiction"), 1u);
    EXPECT_EQ(logged("Layout contradiction - height of Bar toolbar is given at line (StyleParser2::processString):8 of "
                     "the stylesheet but also "
                     "computed automatically by styleBreadthXXX!!!"),
              1u);
    EXPECT_EQ(bar.getSize(), GP::Point(150, 12));  // the sheet's fixed height still limits the size

    bar.setStyleSheetChanged();
    align();
    EXPECT_EQ(logged("Layout contradiction"), 2u);
}

}  // namespace
