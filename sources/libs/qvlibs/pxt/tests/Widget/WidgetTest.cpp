// The widget as the style system sees it: a new widget's flags, children moving between parents
// with their ids, the pane of a subtree, and a pane that forgets a widget leaving it.
#include "Support/TestWidgets.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::PXT;
using namespace QV::PXT::TEST;

TEST(Widget, ANewWidgetStandsAlone)
{
    auto widget = std::make_shared<TestWidget>("Label");
    EXPECT_EQ(widget->getFlags(), Widget::kInitialFlags);
    EXPECT_EQ(widget->getPane(), nullptr);
    EXPECT_EQ(widget->getParent(), nullptr);
    EXPECT_EQ(widget->getId(), "");
    EXPECT_EQ(widget->getStyle(), "");
}

TEST(Widget, InsertingAChildThatHasAParentMovesIt)
{
    auto first = std::make_shared<TestWidget>("Bar");
    auto second = std::make_shared<TestWidget>("Bar");
    auto child = std::make_shared<TestWidget>("Label");
    first->insertChild(child, "one");
    second->insertChild(std::make_shared<TestWidget>("Label"), "other");
    second->insertChild(child, "two");
    EXPECT_TRUE(first->getChildren().empty());
    ASSERT_EQ(second->getChildren().size(), 2u);
    EXPECT_EQ(second->getChildren().back(), child);
    EXPECT_EQ(child->getParent(), second.get());
    EXPECT_EQ(child->getId(), "two");

    EXPECT_FALSE(first->eraseChild(*child));
    EXPECT_TRUE(second->eraseChild(*child));
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(second->getChildren().size(), 1u);
}

TEST(Widget, ASubtreeSharesItsPaneAndLeavingItClearsThePanesReferences)
{
    Pane pane;
    tChain chain = makeChain("Bar Bar Button", &pane);
    Widget& button = chain.leaf();
    EXPECT_EQ(button.getPane(), &pane);
    pane.setOverWidget(&button);
    pane.setPressedWidget(&button, true);
    pane.setFocusWidget(&button);
    pane.setInputWidget(&button);
    EXPECT_TRUE(button.isOver() && button.isDown() && button.isFocus() && button.isInput());

    // The middle bar leaves the tree, the button with it.
    const std::shared_ptr<Widget> middle = chain.widgets[1];
    chain.widgets[0]->eraseChild(*middle);
    EXPECT_EQ(button.getPane(), nullptr);
    EXPECT_EQ(pane.getOverWidget(), nullptr);
    EXPECT_EQ(pane.getPressedWidget(), nullptr);
    EXPECT_EQ(pane.getFocusWidget(), nullptr);
    EXPECT_EQ(pane.getInputWidget(), nullptr);
    EXPECT_FALSE(button.isOver());
}

}  // namespace
