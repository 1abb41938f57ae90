// The stylesheet language: what each construct yields, the message and line of each error, and
// how the recovery keeps the good input around an error.
#include "PXT/StyleParser2.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using QV::PXT::Property;
using QV::PXT::StyleParser2;

// The rules of a text as "selector-classes { name=value/unit ... }" lines and its messages as
// "line: text" lines, for comparison in tables.
struct tParsed {
    bool success = false;
    std::vector<StyleParser2::tRule> rules;
    std::vector<std::string> messages;
};

tParsed parse(const std::string& text)
{
    StyleParser2 parser;
    tParsed parsed;
    parsed.success = parser.processString(text);
    parsed.rules = parser.getRules();
    for (const auto& [file, lines] : parser.getErrors())
        for (const auto& [line, message] : lines)
            parsed.messages.push_back(std::to_string(line) + ": " + message);
    return parsed;
}

std::string describe(const Property::tValue& value)
{
    std::ostringstream out;
    switch (value.index()) {
    case 1: out << "float " << std::get<float>(value); break;
    case 2: out << "unsigned 0x" << std::hex << std::uppercase << std::get<unsigned>(value); break;
    case 3: out << "int " << std::get<int>(value); break;
    case 4: out << "bool " << (std::get<bool>(value) ? "true" : "false"); break;
    case 5: out << "string " << std::get<std::string>(value); break;
    default: out << "alternative " << value.index();
    }
    return out.str();
}

// "name: value unit" of every declaration of every rule.
std::vector<std::string> declarations(const tParsed& parsed)
{
    std::vector<std::string> result;
    for (const auto& rule : parsed.rules)
        for (const Property& property : rule.properties)
            result.push_back(property.getName().string() + ": " + describe(property.getValue()) + " unit " +
                             std::to_string(property.getUnit()));
    return result;
}

using Lines = std::vector<std::string>;

TEST(StyleGrammar, ValuesWithTheirKindsAndUnits)
{
    const struct {
        const char* value;
        const char* expected;
    } cases[] = {
        // value as written          what the declaration holds
        {"12px", "int 12 unit 1"},
        {"12.5px", "float 12.5 unit 1"},
        {"12 %", "int 12 unit 2"},
        {"-3", "int -3 unit 0"},
        {"0.5", "float 0.5 unit 0"},
        {"1e2", "float 100 unit 0"},
        {"true", "bool true unit 3"},
        {"false", "bool false unit 3"},
        {"yes", "string yes unit 5"},
        {"no", "string no unit 5"},
        {"big-_1", "string big-_1 unit 5"},
        {"url(\"a.png\")", "string a.png unit 4"},
        {"URL('a.png')", "string a.png unit 4"},
        {"url( \"a.png\" )", "string a.png unit 4"},
        {"url(\"skin/a b.png\")", "string skin/a b.png unit 4"},
        {"rgb(1, 2, 3)", "unsigned 0xFF010203 unit 6"},
        {"RGB(255,255,255)", "unsigned 0xFFFFFFFF unit 6"},
        {"rgba(1, 2, 3, 4)", "unsigned 0x4010203 unit 6"},
        {"rgb(257, 2, 3)", "unsigned 0xFF010203 unit 6"},
        {"#FFF", "unsigned 0xFF000FFF unit 6"},
        {"#80FF0000", "unsigned 0xFFFF0000 unit 6"},
        {"#a0b1c2", "unsigned 0xFFA0B1C2 unit 6"},
    };
    for (const auto& c : cases) {
        const tParsed parsed = parse(std::string("A { x: ") + c.value + " }");
        EXPECT_TRUE(parsed.messages.empty()) << c.value << ": " << parsed.messages.front();
        EXPECT_EQ(declarations(parsed), Lines{std::string("x: ") + c.expected}) << c.value;
    }
}

TEST(StyleGrammar, RulesSelectorsAndDeclarations)
{
    const tParsed parsed = parse("Button.big#ok[name=x]:!down :: Label { font-size: 12px; foreground-color: "
                                 "rgb(0,0,0) }\nA, B { x: 1; y: 2; z: 3; }\n\n  C D{w:1}");
    ASSERT_TRUE(parsed.success);
    EXPECT_TRUE(parsed.messages.empty());
    ASSERT_EQ(parsed.rules.size(), 3u);

    const auto& first = parsed.rules[0];
    ASSERT_EQ(first.selectors.size(), 1u);
    const auto& selector = first.selectors[0];
    EXPECT_EQ(selector.classSelector().getClass().string(), "Label");
    ASSERT_EQ(selector.parents().size(), 1u);
    const auto& parent = selector.parents()[0];
    EXPECT_EQ(parent.classSelector.getClass().string(), "Button");
    EXPECT_EQ(parent.classSelector.getStyle().string(), "big");
    EXPECT_EQ(parent.classSelector.getId().string(), "ok");
    EXPECT_TRUE(parent.direct);
    EXPECT_EQ(parent.attributes.size(), 1u);
    // The states of an ancestor step are dropped.
    EXPECT_EQ(selector.states().countTests(), 0);
    EXPECT_EQ(first.line, 1);
    EXPECT_EQ(selector.getLine(), 1);
    EXPECT_EQ(selector.getFile().string(), "(StyleParser2::processString)");

    EXPECT_EQ(parsed.rules[1].selectors.size(), 2u);
    EXPECT_EQ(parsed.rules[1].properties.size(), 3u);
    EXPECT_EQ(parsed.rules[1].line, 2);
    const auto& descendant = parsed.rules[2].selectors.at(0);
    EXPECT_EQ(descendant.classSelector().getClass().string(), "D");
    ASSERT_EQ(descendant.parents().size(), 1u);
    EXPECT_FALSE(descendant.parents()[0].direct);
    EXPECT_EQ(parsed.rules[2].line, 4);
}

TEST(StyleGrammar, CommentsAndLineBreaksCountLines)
{
    const struct {
        const char* text;
        int ruleLine;
        const char* message;
    } cases[] = {
        // text                                                   line of B   message after it
        {"/* one\ntwo */ A { x: 1 } // c\nB { y: 2 }\nC { z }", 3, "4: PARSER ERROR at line 4: Expecting :"},
        {"A { x: 1 }\r\nB { y: 2 }\r\nC { z }", 2, "3: PARSER ERROR at line 3: Expecting :"},
        {"A { x: 1 }\rB { y: 2 }\rC { z }", 2, "3: PARSER ERROR at line 3: Expecting :"},
        {"A { x: 1;\n /* a\n b */ }\nB { y: 2 }\nC { z }", 4, "5: PARSER ERROR at line 5: Expecting :"},
        {"A { x: 1 }\n\n\nB\n{ y: 2 }\nC { z }", 4, "6: PARSER ERROR at line 6: Expecting :"},
    };
    for (const auto& c : cases) {
        const tParsed parsed = parse(c.text);
        ASSERT_EQ(parsed.rules.size(), 2u) << c.text;
        EXPECT_EQ(parsed.rules[1].line, c.ruleLine) << c.text;
        EXPECT_EQ(parsed.messages, Lines{c.message}) << c.text;
    }
}

TEST(StyleGrammar, ErrorsWithTheirMessagesAndLines)
{
    const struct {
        const char* text;
        Lines messages;
        Lines kept;  // the declarations that survive
    } cases[] = {
        {"A { x: 12 34; }\nB { y: 2 }", {"1: PARSER ERROR at line 1: Expecting } or ;"}, {"y: int 2 unit 0"}},
        {"A { x: urlbar; }\nB { y: 2 }", {"1: PARSER ERROR at line 1: Expecting ("}, {"y: int 2 unit 0"}},
        {"A { x: rgbx }", {"1: PARSER ERROR at line 1: Expecting ("}, {}},
        {"A { x: infinity2 }", {"1: PARSER ERROR at line 1: Expecting } or ;"}, {}},
        {".big { x: 1 }\nB { y: 2 }",
         {"1: PARSER ERROR at line 1: Expecting statement, whitespace or eoi"},
         {"y: int 2 unit 0"}},
        {"*.big { x: 1 }", {}, {"x: int 1 unit 0"}},
        {"Button :over { x: 1 }\nB { y: 2 }",
         {"1: PARSER ERROR at line 1: Expecting selector relation operator or {"},
         {"y: int 2 unit 0"}},
        {"A[a = b] { x: 1 }", {"1: PARSER ERROR at line 1: Expecting keyword"}, {}},
        {"A[a] { x: 1 }", {"1: PARSER ERROR at line 1: Expecting keyword"}, {}},
        {"A[=b] { x: 1 }", {"1: PARSER ERROR at line 1: Expecting attribute declaration"}, {}},
        {"A { x: rgb(1,2) }", {"1: PARSER ERROR at line 1: invalid color declaration"}, {"x: unsigned 0x0 unit 6"}},
        {"A { x: rgba(1,2,3) }", {"1: PARSER ERROR at line 1: invalid color declaration"}, {"x: unsigned 0x0 unit 6"}},
        {"A { x: #xyz }", {"1: PARSER ERROR at line 1: Expecting unsigned-integer"}, {}},
        {"A { x: url(a.png) }", {"1: PARSER ERROR at line 1: Expecting string"}, {}},
        {"A { x: url(\"a.png\" }", {"1: PARSER ERROR at line 1: Expecting )"}, {}},
        {"A { }", {}, {}},
        {"A { x: 1", {"1: PARSER ERROR at line 1: Expecting } or ;"}, {}},
        {"A {\n x: 1 }\n@define $c 1\nB { y: 2 }", {"4: PARSER ERROR at line 4: Expecting ;"}, {"x: int 1 unit 0"}},
        {"@import \"a.txt\";\nB { y: 2 }", {"1: PARSER ERROR at line 1: Expecting URL"}, {"y: int 2 unit 0"}},
        {"A<> { x: 1 }\nB { y: 2 }", {"1: PARSER ERROR at line 1: Expecting Identifier"}, {"y: int 2 unit 0"}},
        // the line breaks after the comma are consumed, given back and consumed again: counted once
        {"A,\n\n{ x: 1 }\nB { y }",
         {"1: PARSER ERROR at line 1: Expecting selector relation operator or {",
          "4: PARSER ERROR at line 4: Expecting :"},
         {}},
        {"A { color: red width: 3 }\nB { height: 2 }",
         {"1: PARSER ERROR at line 1: Expecting } or ;"},
         {"height: int 2 unit 0"}},
    };
    for (const auto& c : cases) {
        const tParsed parsed = parse(c.text);
        EXPECT_TRUE(parsed.success) << c.text;
        EXPECT_EQ(parsed.messages, c.messages) << c.text;
        EXPECT_EQ(declarations(parsed), c.kept) << c.text;
    }
}

// Each of these texts lost good input before: the declaration after a broken one shadowed rules
// with the int 0, a rule after a broken selector was swallowed, a CR-only file lost its lines,
// and a partly read simple selector leaked its style and id into the next selector.
TEST(StyleGrammar, RecoveryKeepsTheGoodInput)
{
    const struct {
        const char* text;
        Lines kept;
        Lines messages;
    } cases[] = {
        {"B { width 10; }", {}, {"1: PARSER ERROR at line 1: Expecting :"}},
        {"B { x: ; }", {}, {"1: PARSER ERROR at line 1: Expecting sequence"}},
        {"B { y: 1; width 10; }", {"y: int 1 unit 0"}, {"1: PARSER ERROR at line 1: Expecting :"}},
        {"A:3 { x: 1 }\nB { y: 2 }", {"y: int 2 unit 0"}, {"1: PARSER ERROR at line 1: Expecting Identifier"}},
        {"A { x 1 }\rB { y: 2 }\rC { z }\rD { w: 4 }",
         {"y: int 2 unit 0", "w: int 4 unit 0"},
         {"1: PARSER ERROR at line 1: Expecting :", "3: PARSER ERROR at line 3: Expecting :"}},
        // the Style handler's scan for '}' crosses two lone CRs
        {"A { x: 1 y \r\r }\rB { z: 2 }\rC { w }",
         {"z: int 2 unit 0"},
         {"1: PARSER ERROR at line 1: Expecting } or ;", "5: PARSER ERROR at line 5: Expecting :"}},
        {".a { }\rB { y: 2 }\rC { z }",
         {"y: int 2 unit 0"},
         {"1: PARSER ERROR at line 1: Expecting statement, whitespace or eoi",
          "3: PARSER ERROR at line 3: Expecting :"}},
    };
    for (const auto& c : cases) {
        const tParsed parsed = parse(c.text);
        EXPECT_EQ(declarations(parsed), c.kept) << c.text;
        EXPECT_EQ(parsed.messages, c.messages) << c.text;
    }
}

TEST(StyleGrammar, APartlyReadSimpleSelectorLeavesNothingBehind)
{
    const tParsed parsed = parse("A.big#ok:3, B { x: 1 }\nC { y: 2 }");
    ASSERT_EQ(parsed.rules.size(), 1u);
    ASSERT_EQ(parsed.rules[0].selectors.size(), 1u);
    const auto& selector = parsed.rules[0].selectors[0];
    EXPECT_EQ(selector.classSelector().getClass().string(), "C");
    EXPECT_EQ(selector.classSelector().getStyle().string(), "");
    EXPECT_EQ(selector.classSelector().getId().string(), "");
    EXPECT_EQ(selector.states().countTests(), 0);
}

TEST(StyleGrammar, ConstantsAreDefinedOnceAndUsedByName)
{
    const tParsed parsed = parse("@define $c #FF0000;\n@define $c 1;\n@define $size 12px ;\n"
                                 "A { color: $c; size: $size; other: $nothing }");
    EXPECT_EQ(declarations(parsed),
              (Lines{"color: unsigned 0xFFFF0000 unit 6", "size: int 12 unit 1", "other: int 0 unit 0"}));
    EXPECT_EQ(parsed.messages, (Lines{"2: PARSER ERROR at line 2: constant already defined",
                                      "4: PARSER ERROR at line 4: use of undefined constant nothing"}));
}

TEST(StyleGrammar, EmptyTextsAndWhitespaceOnly)
{
    for (const char* text : {"", " \n\t\r\n", "// only a comment", "/* open comment"}) {
        const tParsed parsed = parse(text);
        EXPECT_TRUE(parsed.success) << text;
        EXPECT_TRUE(parsed.rules.empty()) << text;
    }
}

}  // namespace
