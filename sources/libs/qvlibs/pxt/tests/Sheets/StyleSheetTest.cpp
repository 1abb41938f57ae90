// Style sheets: lookups through the per-widget cache (the built-in default sheet, rule order,
// attributes and tree changes seen at once, rule changes), loads that fail, and the compound
// properties.
#include "Support/TestWidgets.h"
#include "Support/ToolkitFixture.h"

#include "PXT/StyleSheet.h"
#include "Sheets/Algorithm.h"
#include "UIA/Font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace QV::PXT;
using namespace QV::PXT::TEST;

class StyleSheets : public ToolkitFixture {
protected:
    // The value of the first rule of `name` that applies to the widget now, with its unit.
    static const Property* lookup(const Widget& widget, const char* name)
    {
        return defaultSheet().findProperty(widget, qv::symbol(name));
    }
    static unsigned colour(const Widget& widget, const char* name)
    {
        bool found = false;
        const unsigned value = widget.getStyleProperty<unsigned>(name, 0x12345678u, &found);
        EXPECT_TRUE(found) << name;
        return value;
    }

    Pane m_pane;
};

TEST_F(StyleSheets, TheBuiltInSheetColoursButtonsByStateAndBarsDark)
{
    EXPECT_EQ(std::strlen(StyleSheetManager::s_defaultStyleSheet), 346u);
    tChain chain = makeChain("Bar Button", &m_pane);
    Widget& bar = *chain.widgets[0];
    Widget& button = chain.leaf();
    EXPECT_EQ(colour(button, "background-color"), 0xFFC0C0C0u);
    EXPECT_EQ(colour(button, "background-border-color"), 0xFF808080u);
    EXPECT_EQ(colour(button, "foreground-color"), 0xFF000000u);
    EXPECT_EQ(colour(bar, "background-color"), 0xFF202020u);
    m_pane.setOverWidget(&button);
    EXPECT_EQ(colour(button, "background-color"), 0xFFD0D0D0u);
    m_pane.setPressedWidget(&button, true);
    // down and over: the down rule comes first in the text
    EXPECT_EQ(colour(button, "background-color"), 0xFFB0B0B0u);
    m_pane.setOverWidget(nullptr);
    EXPECT_EQ(colour(button, "background-color"), 0xFFB0B0B0u);
    m_pane.setPressedWidget(&button, false);
    EXPECT_EQ(colour(button, "background-color"), 0xFFC0C0C0u);
}

TEST_F(StyleSheets, WidgetsOutsideAPaneGetTheDefaults)
{
    auto button = std::make_shared<TestWidget>("Button");
    bool found = true;
    EXPECT_EQ(button->getStyleProperty<int>("width", 5, &found), 5);
    EXPECT_FALSE(found);
    EXPECT_TRUE(Algorithm::collectPropertyRules(*button, qv::symbol("background-color")).empty());
}

TEST_F(StyleSheets, TheExplicitNoIsTheZeroValue)
{
    defaultSheet().createDirect("Button { width: no; visible: no; image: no }");
    tChain chain = makeChain("Button", &m_pane);
    bool found = false;
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("width", 5, &found), 0);
    EXPECT_TRUE(found);
    EXPECT_FALSE(chain.leaf().getStyleProperty<bool>("visible", true, &found));
    EXPECT_TRUE(found);
    EXPECT_EQ(chain.leaf().getStyleProperty<const QV::UIA::Font*>("width", nullptr, &found), nullptr);
    EXPECT_TRUE(found);
    const LazyPicture& picture = chain.leaf().getStyleProperty<LazyPicture>("picture", LazyPicture(), &found);
    EXPECT_TRUE(found);
    EXPECT_TRUE(picture.empty());
}

TEST_F(StyleSheets, HigherSpecificityFirstThenTheEarlierRule)
{
    defaultSheet().createDirect("Button { x: 1; y: 1 }\n* { x: 2 }\nButton { x: 3; y: 3 }\n"
                                "Button:over { y: 4 }\nBar Button { z: 5 }\nButton { z: 6 }");
    tChain chain = makeChain("Bar Button", &m_pane);
    const Widget& button = chain.leaf();
    EXPECT_EQ(button.getStyleProperty<int>("x", 0), 1);
    EXPECT_EQ(button.getStyleProperty<int>("y", 0), 1);
    EXPECT_EQ(button.getStyleProperty<int>("z", 0), 5);
    m_pane.setOverWidget(chain.widgets[1].get());
    EXPECT_EQ(button.getStyleProperty<int>("y", 0), 4);
    // Only the first applicable rule counts, even when it holds another kind of value.
    EXPECT_EQ(button.getStyleProperty<unsigned>("x", 7u), 7u);
}

TEST_F(StyleSheets, EachSelectorOfARuleGetsItsOwnEntries)
{
    defaultSheet().createDirect("A, B.big { x: 1; y: 2; z: 3 }");
    const auto& rules = defaultSheet().getRules();
    for (const char* name : {"x", "y", "z"}) {
        const auto& entries = rules.at(qv::symbol(name));
        ASSERT_EQ(entries.size(), 2u) << name;
        EXPECT_EQ(entries[0].first.getSpecifity(), 0x10001u);
        EXPECT_EQ(entries[1].first.getSpecifity(), 1u);
    }
}

TEST_F(StyleSheets, TheCacheSeesNewAttributesTreeChangesAndNewRules)
{
    defaultSheet().createDirect("Label { width: 1 }\nLabel[state=done] { width: 2 }\nBar.side Label { width: 3 }");
    tChain chain = makeChain("Bar Label", &m_pane);
    Widget& label = chain.leaf();
    EXPECT_EQ(label.getStyleProperty<int>("width", 0), 1);
    label.setAttribute("state", "done");
    EXPECT_EQ(label.getStyleProperty<int>("width", 0), 2);
    label.setAttribute("state", "busy");
    EXPECT_EQ(label.getStyleProperty<int>("width", 0), 1);

    // Moved under a Bar of style "side": the ancestor step now applies.
    auto side = std::make_shared<TestWidget>("Bar");
    side->setStyle("side");
    chain.widgets[0]->insertChild(side, "s");
    side->insertChild(chain.widgets[1], "l");
    EXPECT_EQ(label.getStyleProperty<int>("width", 0), 3);

    defaultSheet().createDirect("Label { width: 9 }");
    EXPECT_EQ(label.getStyleProperty<int>("width", 0), 9);
}

TEST_F(StyleSheets, ABrokenDeclarationDoesNotShadowOtherRules)
{
    defaultSheet().createDirect("* { width: 5; height: 6 }\nButton { width 10; }\nButton { height: ; }");
    tChain chain = makeChain("Button", &m_pane);
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("width", 0), 5);
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("height", 0), 6);
}

TEST_F(StyleSheets, AFailedLoadKeepsTheRules)
{
    defaultSheet().createDirect("Button { width: 5 }");
    tChain chain = makeChain("Button", &m_pane);
    defaultSheet().load("missing-stylesheet.txt");
    StyleSheetManager::get()->loadDefault("missing-stylesheet.txt");
    EXPECT_EQ(logged("missing-stylesheet.txt"), 2u);
    StyleSheetManager::get()->loadDefault("missing-stylesheet.txt");  // the same name: not loaded again
    EXPECT_EQ(logged("missing-stylesheet.txt"), 2u);
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("width", 0), 5);
    // No mark is looked for in a text: this one parses, to no rule, and the sheet ends up empty.
    defaultSheet().createDirect(std::string("\xFF\xFE\0\0", 4));
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("width", 0), 0);
}

// A stylesheet that is found but cannot be read (a UTF-16 text) leaves the rules and the imports.
class FailedLoads : public SkinFolderFixture {
protected:
    FailedLoads() : SkinFolderFixture("qv-pxt-failed-load") {}
};

TEST_F(FailedLoads, AnUnreadableSheetKeepsTheRulesAndImports)
{
    std::filesystem::create_directories(skin() / "stylesheets");
    std::ofstream(skin() / "stylesheets" / "base.txt") << "Button { width: 5 }";
    std::ofstream(skin() / "stylesheets" / "main.txt") << "@import url(\"base.txt\");\nButton { height: 6 }";
    std::ofstream(skin() / "stylesheets" / "wide.txt", std::ios::binary) << std::string("\xFF\xFE"
                                                                                        "B\0u\0t\0",
                                                                                        8);
    Pane pane;
    tChain chain = makeChain("Button", &pane);
    defaultSheet().load("main.txt");
    ASSERT_EQ(chain.leaf().getStyleProperty<int>("width", 0), 5);
    ASSERT_EQ(defaultSheet().getImports().size(), 2u);
    defaultSheet().load("wide.txt");
    EXPECT_EQ(logged("Unsupported buffer encoding"), 1u);
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("width", 0), 5);
    EXPECT_EQ(chain.leaf().getStyleProperty<int>("height", 0), 6);
    EXPECT_EQ(defaultSheet().getImports().size(), 2u);
}

// The compound properties, by the rule that declares them.
class Compounds : public StyleSheets {
protected:
    // The compound `name` of the single rule `Button { <declarations> }`, or null.
    const Property* compound(const std::string& declarations, const char* name)
    {
        defaultSheet().createDirect("Button { " + declarations + " }");
        m_chain = makeChain("Button", &m_pane);
        return lookup(m_chain.leaf(), name);
    }
    tChain m_chain;
};

TEST_F(Compounds, Displacements)
{
    const struct {
        const char* declarations;
        const char* name;
        bool made;
        QV::GP::Point point;
    } cases[] = {
        {"relative-top: 3", "picture-displacement", true, {0, 3}},
        {"relative-left: 2px; relative-top: 3", "picture-displacement", true, {2, 3}},
        {"foreground-relative-left: -4", "text-displacement", true, {-4, 0}},
        {"relative-top: 3", "text-displacement", false, {}},
        {"relative-top: 3.5", "picture-displacement", false, {}},
        {"relative-top: 3 %", "picture-displacement", false, {}},
    };
    for (const auto& c : cases) {
        const Property* property = compound(c.declarations, c.name);
        ASSERT_EQ(property != nullptr, c.made) << c.declarations;
        if (!property)
            continue;
        EXPECT_EQ(property->getUnit(), Property::eUnitPoint);
        EXPECT_EQ(std::get<QV::GP::Point>(property->getValue()), c.point) << c.declarations;
    }
}

TEST_F(Compounds, PicturesAndNoPicture)
{
    const Property* none = compound("image: no", "picture");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->getUnit(), Property::eUnitPicture);
    EXPECT_TRUE(std::get<LazyPicture>(none->getValue()).empty());

    EXPECT_EQ(compound("image: other", "picture"), nullptr);
    const Property* plain = lookup(m_chain.leaf(), "image");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(std::get<std::string>(plain->getValue()), "other");

    const Property* dye = compound("dye-mask: url(\"mask.png\")", "dye-mask-picture");
    ASSERT_NE(dye, nullptr);
    EXPECT_FALSE(std::get<LazyPicture>(dye->getValue()).empty());
    EXPECT_EQ(lookup(m_chain.leaf(), "picture"), nullptr);
}

TEST_F(Compounds, APartWithAValueOfAnotherKindMakesNothing)
{
    const struct {
        const char* declarations;
        const char* name;
    } cases[] = {
        {"font-resid: 5px", "font"},                 // a plain integer only
        {"font-size: 14 %", "font"},                 // plain or px only
        {"font-hinting: yes", "font"},               // true or false only
        {"font-name: Sans", "font"},                 // a url only
        {"font-family: url(\"Sans.ttf\")", "font"},  // a word only
        {"font-style: url(\"bold\")", "font"},       // a word only
        {"dye-mask: other", "dye-mask-picture"},     // a url or no only
        {"foreground-relative-top: true", "text-displacement"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compound(c.declarations, c.name), nullptr) << c.declarations;
        // The declaration itself is still a rule of its own.
        const std::string declared(c.declarations, std::string(c.declarations).find(':'));
        EXPECT_NE(lookup(m_chain.leaf(), declared.c_str()), nullptr) << c.declarations;
    }
}

TEST_F(Compounds, Fonts)
{
    const Property* sized = compound("font-size: 14px", "font");
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->getUnit(), Property::eUnitFont);
    EXPECT_NE(std::get<const QV::UIA::Font*>(sized->getValue()), nullptr);

    EXPECT_EQ(compound("font-size: 12", "font"), nullptr);  // the default size
    EXPECT_EQ(compound("font-size: 12.5", "font"), nullptr);
    EXPECT_NE(compound("font-style: bold", "font"), nullptr);
    EXPECT_EQ(compound("font-style: heavy", "font"), nullptr);
    EXPECT_NE(compound("font-hinting: true", "font"), nullptr);
    EXPECT_EQ(compound("font-hinting: true; font-hinting: false", "font"), nullptr) << "the later one switches it off";

    // A family that names no loadable font: the default font, one log line for any number of uses.
    const Property* family = compound("font-family: Arial", "font");
    ASSERT_NE(family, nullptr);
    const QV::UIA::Font* font = std::get<const QV::UIA::Font*>(family->getValue());
    EXPECT_EQ(font, container().getFont(ManagerContainer::getDefaultFontData()));
    compound("font-family: Arial; font-size: 12px", "font");
    EXPECT_EQ(logged("can't load font Arial"), 1u);
}

}  // namespace
