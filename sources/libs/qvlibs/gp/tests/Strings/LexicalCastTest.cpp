#include "GP/LexicalCast.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t npos = std::string::npos;

TEST(LexicalCast, ParsesUnsignedNumbers)
{
    struct Case {
        std::string text;
        std::size_t start;
        bool hex;
        bool ok;
        unsigned int value;
        std::size_t end;
    } cases[] = {
        // text                start hex    ok     value         end
        {"1F", 0, true, true, 31, 2},
        {"12 ", 0, false, true, 12, 2},  // stops before the blank
        {"x", 0, false, false, 0, npos},
        {"42", 0, false, true, 42, 2},     // runs to the end of the text
        {"  7>", 0, false, true, 7, 3},    // leading white space skipped
        {"<<12>", 2, false, true, 12, 4},  // a container subpath's item id
        {"ab12", 2, false, true, 12, 4},
        {"0x1f", 0, true, true, 31, 4},
        {"ff", 0, false, false, 0, npos},  // not decimal
        {"4294967295", 0, false, true, 4294967295u, 10},
        {"FFFFFFFF", 0, true, true, 4294967295u, 8},
        {"4294967296", 0, false, false, 0, npos},  // too large: no wrap
        {"-1", 0, false, false, 0, npos},          // a sign never wraps to 4294967295
        {" -5", 0, false, false, 0, npos},
        {"-1", 0, true, false, 0, npos},
        {"1-2", 1, false, false, 0, npos},
        {"+9", 0, false, true, 9, 2},
        {"", 0, false, false, 0, npos},
        {"12", 2, false, false, 0, npos},         // start at the end
        {"12", 5, false, false, 0, npos},         // start beyond the end
        {"1\xC3\xA9", 0, false, false, 0, npos},  // a byte outside ASCII fails it all
    };
    for (const Case& c : cases) {
        unsigned int value = 12345;
        bool ok = !c.ok;
        std::size_t end = 777;
        QV::GP::DETAIL::LexicalCastHelper<unsigned int>(c.text, value, &ok, end, c.start, c.hex);
        EXPECT_EQ(ok, c.ok) << testing::PrintToString(c.text) << " from " << c.start;
        EXPECT_EQ(value, c.value) << testing::PrintToString(c.text) << " from " << c.start;
        EXPECT_EQ(end, c.end) << testing::PrintToString(c.text) << " from " << c.start;
    }
}

TEST(LexicalCast, OkMayBeNull)
{
    unsigned int value = 0;
    std::size_t end = 0;
    QV::GP::DETAIL::LexicalCastHelper<unsigned int>("99", value, nullptr, end, 0, false);
    EXPECT_EQ(value, 99u);
    EXPECT_EQ(end, 2u);
}

}  // namespace
