// A selector with an error in any of its parts: the whole rule is dropped with the error's message,
// never kept for what was read before the error (the ancestor of a compound selector, a class
// without its attribute test), and the rule after it is read as usual.
#include "PXT/StyleParser2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using QV::PXT::Selector;
using QV::PXT::StyleParser2;
using Lines = std::vector<std::string>;

// A selector as "Class.style#id" steps from the leftmost ancestor to the widget itself, with the
// number of state and attribute tests of the widget's own step.
std::string describe(const Selector& selector)
{
    std::string text;
    for (auto parent = selector.parents().rbegin(); parent != selector.parents().rend(); ++parent)
        text += parent->classSelector.getClass().string() + (parent->direct ? " :: " : " ");
    text += selector.classSelector().getClass().string();
    text += " states " + std::to_string(selector.states().countTests());
    return text;
}

// Each rule as "line: selector, selector { declaration names }", and the messages as "line: text".
struct tParsed {
    Lines rules;
    Lines messages;
};

tParsed parse(const std::string& text)
{
    StyleParser2 parser;
    EXPECT_TRUE(parser.processString(text)) << text;
    tParsed parsed;
    for (const auto& rule : parser.getRules()) {
        std::string line = std::to_string(rule.line) + ":";
        for (std::size_t i = 0; i < rule.selectors.size(); ++i)
            line += (i ? ", " : " ") + describe(rule.selectors[i]);
        line += " {";
        for (const auto& property : rule.properties)
            line += " " + property.getName().string();
        parsed.rules.push_back(line + " }");
    }
    for (const auto& [file, lines] : parser.getErrors())
        for (const auto& [line, message] : lines)
            parsed.messages.push_back(std::to_string(line) + ": " + message);
    return parsed;
}

TEST(SelectorError, DropsTheWholeRuleAndReadsTheNextOne)
{
    const struct {
        const char* rule;
        const char* message;
    } cases[] = {
        // a blank after the state's colon: no rule for every Bar
        {"Bar Button: over { background-color: #FF0000 }", "Expecting Identifier"},
        // an unclosed template name in the middle: no rule for Pane
        {"Pane Bar<Slim Label { background-color: #FF0000 }", "Expecting >"},
        // an error in the first, the middle and the last part of a compound selector
        {"A:3 B C { background-color: #FF0000 }", "Expecting Identifier"},
        {"A B:3 C { background-color: #FF0000 }", "Expecting Identifier"},
        {"A B C:! { background-color: #FF0000 }", "Expecting Identifier"},
        {"A<X B C { background-color: #FF0000 }", "Expecting >"},
        {"A B<X C { background-color: #FF0000 }", "Expecting >"},
        // a broken attribute test: no rule for every C
        {"A B C[state = ok] { background-color: #FF0000 }", "Expecting keyword"},
        {"A[state] B C { background-color: #FF0000 }", "Expecting keyword"},
        // an error in one selector of a list drops the others with it
        {"A, B:3 { background-color: #FF0000 }", "Expecting Identifier"},
        {"A:3, B { background-color: #FF0000 }", "Expecting Identifier"},
        // the broken rule spans lines; the line of the next rule stays exact
        {"A B:3\n  C {\n background-color: #FF0000;\n}", "Expecting Identifier"},
    };
    for (const auto& c : cases) {
        const std::string text = std::string(c.rule) + "\nLabel { width: 2 }";
        const tParsed parsed = parse(text);
        const int nextLine = 2 + int(std::count(c.rule, c.rule + std::strlen(c.rule), '\n'));
        EXPECT_EQ(parsed.rules, (Lines{std::to_string(nextLine) + ": Label states 0 { width }"})) << text;
        EXPECT_EQ(parsed.messages, (Lines{"1: PARSER ERROR at line 1: " + std::string(c.message)})) << text;
    }
}

TEST(SelectorError, SoundSelectorsAroundABrokenRuleAreKept)
{
    const tParsed parsed = parse("Pane Bar :: Label:!over { x: 1 }\n"
                                 "Pane Bar<Slim Label { y: 2 }\n"
                                 "Pane Bar<Slim> Label, Button:down { z: 3 }");
    EXPECT_EQ(parsed.rules, (Lines{"1: Pane Bar :: Label states 1 { x }",
                                   "3: Pane Bar<Slim> Label states 0, Button states 1 { z }"}));
    EXPECT_EQ(parsed.messages, (Lines{"2: PARSER ERROR at line 2: Expecting >"}));
}

}  // namespace
