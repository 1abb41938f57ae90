// Recovery from a broken declaration skips to the end of its rule outside comments: a brace inside
// a comment neither ends the rule early, nor hides the rules after it, nor makes a rule of its text.
#include "PXT/StyleParser2.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace {

using QV::PXT::StyleParser2;

// The int value of the declaration `name` in the last rule that declares it; -1 when none does.
int lastValue(const StyleParser2& parser, const std::string& name)
{
    int value = -1;
    for (const auto& rule : parser.getRules())
        for (const auto& property : rule.properties)
            if (property.getName().string() == name)
                if (const int* number = std::get_if<int>(&property.getValue()))
                    value = *number;
    return value;
}

TEST(CommentsInRecovery, TheRuleAfterABrokenOneSurvivesBracesInComments)
{
    // The rule C lies inside a comment in each: it must never be read.
    const char* const texts[] = {
        "A { x: 1 y /* } */ } B { z: 2 }",
        "A { x: 1 y /* } C { w: 3 } */ } B { z: 2 }",
        "A { x: 1 y // } C { w: 3 }\n } B { z: 2 }",
        "A { x: 1 y // a note\n } B { z: 2 }",
        "A { x: 1 y /* a\n } C { w: 3 } */ }\nB { z: 2 }",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        StyleParser2 parser;
        parser.processString(text);
        EXPECT_EQ(lastValue(parser, "z"), 2);
        EXPECT_EQ(lastValue(parser, "w"), -1);
        EXPECT_FALSE(parser.getErrors().empty());
    }
}

}  // namespace
