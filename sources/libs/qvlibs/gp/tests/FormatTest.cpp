#include "GP/Format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using QV::GP::formatText;
using QV::GP::DETAIL::BasicFormat;
using QV::GP::DETAIL::FormatApply;
using QV::GP::DETAIL::FormatHelper;

static_assert(std::is_same_v<FormatHelper<char>::FormatResultStringType, std::string>);

TEST(BasicFormat, FillsOneArgumentOfEachType)
{
    EXPECT_EQ((BasicFormat<char, unsigned short>("%d", 33)), "33");
    EXPECT_EQ((BasicFormat<char, int>("%d", -2)), "-2");
    EXPECT_EQ((BasicFormat<char, unsigned int>("S%u", 7u)), "S7");
    EXPECT_EQ((BasicFormat<char, unsigned int>("0x%X", 0xABCDu)), "0xABCD");
    EXPECT_EQ((BasicFormat<char, std::string>("Please connect your %1% and click RESCAN.", "Vardolin Studio")),
              "Please connect your Vardolin Studio and click RESCAN.");
}

TEST(BasicFormat, RepeatsAPlaceholderNamedTwice)
{
    EXPECT_EQ((BasicFormat<char, std::string>("%1% failed. Reconnect your %1%.", "Studio")),
              "Studio failed. Reconnect your Studio.");
}

TEST(FormatApply, FeedsArgumentsInOrder)
{
    EXPECT_EQ(FormatApply<char>::apply(boost::format("%d / 0x%X"), 33, 103), "33 / 0x67");
    EXPECT_EQ(FormatApply<char>::apply(boost::format("%d / 0x%X"), static_cast<unsigned short>(33), 0x66u),
              "33 / 0x66");
    EXPECT_EQ(FormatApply<char>::apply(boost::format("%2% then %1%"), std::string("a"), std::string("b")), "b then a");
    EXPECT_EQ(FormatApply<char>::apply(boost::format("%1%: %2% (%3%)"), std::string("x"), 5, std::string("y")),
              "x: 5 (y)");
}

TEST(FormatText, FillsTheTemplateGivenAsText)
{
    EXPECT_EQ(formatText("%d", static_cast<unsigned short>(33)), "33");
    EXPECT_EQ(formatText("%d / 0x%X", 33, 0x67u), "33 / 0x67");
    EXPECT_EQ(formatText("%2% then %1%", std::string("a"), "b"), "b then a");
    EXPECT_THROW(formatText("%d / 0x%X", 33), boost::io::too_few_args);
}

// boost.format's own errors pass through untouched.
TEST(FormatErrors, MismatchedTemplatesThrow)
{
    EXPECT_THROW(FormatApply<char>::apply(boost::format("%d / 0x%X"), 33), boost::io::too_few_args);
    EXPECT_THROW(FormatApply<char>::apply(boost::format("%d"), 1, 2), boost::io::too_many_args);
    EXPECT_THROW((BasicFormat<char, int>("%1", 1)), boost::io::bad_format_string);
}

}  // namespace
