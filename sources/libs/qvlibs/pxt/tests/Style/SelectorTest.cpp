// Selectors against widget trees: classes with template names, styles and ids, ancestor steps
// (anywhere above, or the direct parent), attribute operators with the built-in attributes, the
// seven states, and the specificity that ranks them.
#include "Support/TestWidgets.h"

#include "PXT/Property.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::PXT;
using namespace QV::PXT::TEST;

struct tMatchCase {
    const char* selector;
    const char* path;  // root first; the selector is tested on the last widget
    bool applies;
};

TEST(Selector, MatchesClassesStylesIdsAndAncestors)
{
    const tMatchCase cases[] = {
        // selector                path                              applies
        {"*", "Label", true},
        {"*", "Bar<Slim>", true},
        {"Bar", "Bar<Slim>", true},
        {"Ba", "Bar<Slim>", false},
        {"Bar<Slim>", "Bar", false},
        {"Bar<Slim>", "Bar<Slim>", true},
        {"Bar< Slim >", "Bar<Slim>", true},
        {"Button.big", "Button.big", true},
        {"Button.big", "Button.small", false},
        {"Button.big", "Button", false},
        {"*#ok", "Bar Button#ok", true},
        {"*#ok", "Bar Button#cancel", false},
        {"Button.big#ok", "Bar Button.big#ok", true},
        {"*.", "Button", true},
        {"Label :: Button", "Label Bar Button", false},
        {"Label Button", "Label Bar Button", true},
        {"Label::Button", "Label Button", true},
        {"Label :: Button", "Label Button", true},
        {"Label Button", "Button", false},
        // the nearest B is not A's child: the walk retries further up and takes B2
        {"A :: B C", "A B X B C", true},
        {"A :: B C", "X A X B C", false},
        {"A :: B :: C", "A B X B C", false},
        {"A :: B :: C", "A B C", true},
        {"Bar.side Label", "Bar.side Bar Label", true},
        {"Bar.side Label", "Bar Bar Label", false},
    };
    for (const tMatchCase& c : cases) {
        const Selector selector = parseSelector(c.selector);
        const tChain chain = makeChain(c.path);
        EXPECT_EQ(selector.doesWidgetApply(chain.leaf(), true), c.applies) << c.selector << " on " << c.path;
        EXPECT_EQ(selector.doClassIdsApply(chain.leaf()), c.applies) << c.selector << " on " << c.path;
    }
}

struct tAttributeCase {
    const char* selector;
    const char* attribute;  // "name=value" set on the widget, or "" for none
    std::optional<bool> horizontal;
    bool applies;
};

TEST(Selector, TestsAttributesWithTheirOperatorsAndTheBuiltInOnes)
{
    const tAttributeCase cases[] = {
        // selector                       widget attribute   orientation   applies
        {"*[state^=suc]", "state=success", std::nullopt, true},
        {"*[state$=ess]", "state=success", std::nullopt, true},
        {"*[state*=cce]", "state=success", std::nullopt, true},
        {"*[state=success]", "state=success", std::nullopt, true},
        {"*[state=succes]", "state=success", std::nullopt, false},
        {"*[state^=ess]", "state=success", std::nullopt, false},
        {"*[state$=suc]", "state=success", std::nullopt, false},
        {"*[state*=xyz]", "state=success", std::nullopt, false},
        {"*[state!=success]", "state=success", std::nullopt, true},  // != sets no condition on the value
        {"*[state!=x]", "", std::nullopt, false},                    // but the attribute must exist
        {"*[other=success]", "state=success", std::nullopt, false},
        {"*[state^=suc][state$=ess]", "state=success", std::nullopt, true},
        {"*[state^=suc][state$=xx]", "state=success", std::nullopt, false},
        {"*[isHorizontal=true]", "", true, true},
        {"*[isHorizontal=yes]", "", true, true},
        {"*[isHorizontal=true]", "", false, false},
        {"*[isHorizontal=false]", "", false, true},
        {"*[isHorizontal=true]", "", std::nullopt, false},
        {"*[isHorizontal=false]", "", std::nullopt, false},
        {"*[getClass=Label]", "", std::nullopt, true},
        {"*[getClass^=Lab]", "", std::nullopt, true},
        {"*[getStyle=big]", "", std::nullopt, true},
        {"*[getId=ok]", "", std::nullopt, true},
        {"*[getId=cancel]", "", std::nullopt, false},
        // the widget's own attribute wins over the built-in one of the same name
        {"*[getClass=Other]", "getClass=Other", std::nullopt, true},
    };
    for (const tAttributeCase& c : cases) {
        const Selector selector = parseSelector(c.selector);
        auto parent = std::make_shared<TestWidget>("Bar");
        auto& widget = parent->insertChild(std::make_shared<TestWidget>("Label", c.horizontal), "ok");
        widget.setStyle("big");
        const std::string attribute = c.attribute;
        if (!attribute.empty())
            widget.setAttribute(attribute.substr(0, attribute.find('=')), attribute.substr(attribute.find('=') + 1));
        EXPECT_EQ(selector.doesWidgetApply(widget, true), c.applies) << c.selector << " with " << c.attribute;
        // Without attribute tests only the identity counts.
        EXPECT_TRUE(selector.doesWidgetApply(widget, false)) << c.selector;
    }
}

TEST(Selector, TestsAttributesOfAncestorSteps)
{
    const Selector selector = parseSelector("Bar[mode=dark] Label");
    tChain chain = makeChain("Bar Label");
    EXPECT_FALSE(selector.doesWidgetApply(chain.leaf(), true));
    EXPECT_TRUE(selector.doClassIdsApply(chain.leaf()));
    chain.widgets.front()->setAttribute("mode", "dark");
    EXPECT_TRUE(selector.doesWidgetApply(chain.leaf(), true));
}

TEST(Selector, TestsTheStatesOfTheSelectedWidgetOnly)
{
    Pane pane;
    tChain chain = makeChain("Bar Button", &pane);
    TestWidget& button = chain.leaf();
    struct tCase {
        const char* selector;
        bool idle, over, pressed, disabled, focus, input, selected;
    };
    const tCase cases[] = {
        // selector          idle   over   pressed disabled focus input selected
        {"Button:over", false, true, false, false, false, false, false},
        {"Button:!down", true, true, false, true, true, true, true},
        {"Button:down", false, false, true, false, false, false, false},
        {"Button:over:down", false, false, false, false, false, false, false},
        {"Button:enabled", true, true, true, false, true, true, true},
        {"Button:!enabled", false, false, false, true, false, false, false},
        {"Button:focus", false, false, false, false, true, false, false},
        {"Button:input", false, false, false, false, false, true, false},
        {"Button:selected", false, false, false, false, false, false, true},
        {"Button:!dormant", true, true, true, true, true, true, true},
        {"Button:unknown", true, true, true, true, true, true, true},   // unknown states are ignored
        {"Bar:over Button", true, true, true, true, true, true, true},  // ancestor states are dropped
    };
    for (const tCase& c : cases) {
        const StateSelector states = parseSelector(c.selector).states();
        auto check = [&](const char* what, bool expected) {
            EXPECT_EQ(states.doesApply(button), expected) << c.selector << " " << what;
        };
        check("idle", c.idle);
        pane.setOverWidget(&button);
        check("over", c.over);
        pane.setOverWidget(nullptr);
        pane.setPressedWidget(&button, true);
        check("pressed", c.pressed);
        pane.setPressedWidget(&button, false);  // pressed without the left button is not down
        check("idle", c.idle);
        pane.setPressedWidget(nullptr, false);
        button.setEnabled(false);
        check("disabled", c.disabled);
        button.setEnabled(true);
        pane.setFocusWidget(&button);
        check("focus", c.focus);
        pane.setFocusWidget(nullptr);
        pane.setInputWidget(&button);
        check("input", c.input);
        pane.setInputWidget(nullptr);
        button.setSelected(true);
        check("selected", c.selected);
        button.setSelected(false);
    }
}

TEST(Selector, WidgetsOutsideAPaneHaveNoPointerStates)
{
    auto button = std::make_shared<TestWidget>("Button");
    EXPECT_FALSE(button->isOver());
    EXPECT_FALSE(button->isDown());
    EXPECT_FALSE(button->isFocus());
    EXPECT_FALSE(button->isInput());
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->getFlags(), 0x8303Du);
}

TEST(Selector, RanksBySpecificity)
{
    const struct {
        const char* selector;
        unsigned specificity;
    } cases[] = {
        {"*", 0},
        {"Button", 1},
        {"*.big", 0x10000},
        {"*#ok", 0x1000000},
        {"Button.big[name=x]:!down", 1 + 0x10000 + 16 + 256},
        {"Button:over", 1 + 256},
        {"Button:over:!down", 1 + 512},
        {"*[a=x][a^=y][b=z]", 32},  // per attribute name, not per test
        {"Label Button", 2},
        {"Bar.side#top :: Label[x=y] Button:focus", 1 + 0x10000 + 0x1000000 + 1 + 16 + 1 + 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseSelector(c.selector).getSpecifity(), c.specificity) << c.selector;
}

TEST(Property, ReadsBooleans)
{
    const qv::symbol name("x");
    const struct {
        Property::tValue value;
        Property::eUnit unit;
        int expected;  // -1 none, 0 false, 1 true
    } cases[] = {
        {true, Property::eUnitBool, 1},
        {false, Property::eUnitBool, 0},
        {3, Property::eUnitNone, 1},
        {0, Property::eUnitNone, 0},
        {2u, Property::eUnitNone, 1},
        {0, Property::eUnitPx, -1},
        {std::string("yes"), Property::eUnitString, 1},
        {std::string("true"), Property::eUnitString, 1},
        {std::string("no"), Property::eUnitString, 0},
        {std::string("false"), Property::eUnitString, 0},
        {std::string("maybe"), Property::eUnitString, -1},
        {std::string("yes"), Property::eUnitURL, -1},
        {1.0f, Property::eUnitNone, -1},
    };
    for (const auto& c : cases) {
        const Property property(c.value, name, c.unit);
        const bool* value = property.getBoolValue();
        EXPECT_EQ(value ? (*value ? 1 : 0) : -1, c.expected) << "alternative " << c.value.index() << " unit " << c.unit;
    }
    EXPECT_TRUE(Property(std::string("no"), name, Property::eUnitString).isNo());
    EXPECT_FALSE(Property(std::string("no"), name, Property::eUnitURL).isNo());
}

}  // namespace
