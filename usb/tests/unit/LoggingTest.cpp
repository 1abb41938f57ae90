#include "DVK2/Logging.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace QV::DVK2::Logging {
namespace {

// Restores the process-wide settings that a test changes.
class LoggingTest : public testing::Test {
protected:
    void TearDown() override
    {
        destinationStream = m_streams;
        detail::__reportLevelAsUInt = m_level;
        allowedCategories = m_categories;
    }

    std::array<std::ostream*, 4> m_streams = destinationStream;
    uint32_t m_level = detail::__reportLevelAsUInt;
    std::set<std::string> m_categories = allowedCategories;
};

TEST_F(LoggingTest, InitialSettings)
{
    EXPECT_EQ(detail::__reportLevelAsUInt, 2u);
    for (std::ostream* stream : destinationStream)
        EXPECT_EQ(stream, nullptr);
    EXPECT_TRUE(allowedCategories.empty());
    EXPECT_TRUE(errorEnabled());
    EXPECT_FALSE(detailEnabled("DFUDevice"));
}

TEST_F(LoggingTest, TheReportLevelChoosesTheStream)
{
    std::ostringstream streams[4];
    for (size_t i = 0; i < 4; ++i)
        destinationStream[i] = &streams[i];

    for (uint32_t level = 1; level <= 3; ++level) {
        detail::__reportLevelAsUInt = level;
        // Every line goes to the current level's stream, a detail line included.
        detail::__trace__msg(eLevelDetail, "%s: detail %u\n", "DFUDevice", level);
        detail::__trace__msg(eLevelCritical, "%s: critical %u\n", "DFUDevice", level);
    }
    EXPECT_EQ(streams[0].str(), "");
    EXPECT_EQ(streams[1].str(), "DFUDevice: detail 1\nDFUDevice: critical 1\n");
    EXPECT_EQ(streams[2].str(), "DFUDevice: detail 2\nDFUDevice: critical 2\n");
    EXPECT_EQ(streams[3].str(), "DFUDevice: detail 3\nDFUDevice: critical 3\n");
}

TEST_F(LoggingTest, NoStreamForTheCurrentLevel)
{
    std::ostringstream other;
    destinationStream[1] = &other;
    detail::__reportLevelAsUInt = 2;
    // Level 1 without a stream is dropped; the others go to the system log, not to level 1's stream.
    detail::__trace__msg(eLevelDetail, "%s: dropped\n", "FX2Device");
    detail::__trace__msg(eLevelError, "%s: to the system log (unit test)\n", "FX2Device");
    EXPECT_EQ(other.str(), "");

    // A report level outside the table of streams has no stream.
    detail::__reportLevelAsUInt = 7;
    detail::__trace__msg(eLevelDetail, "%s: dropped\n", "FX2Device");
    EXPECT_EQ(other.str(), "");
}

TEST_F(LoggingTest, LongLinesAreCutAt1023Characters)
{
    std::ostringstream stream;
    destinationStream[2] = &stream;
    detail::__reportLevelAsUInt = 2;

    const std::string exact(1023 - 5, 'y');
    detail::__trace__msg(eLevelError, "%s: %s", "DFU", exact.c_str());
    EXPECT_EQ(stream.str(), "DFU: " + exact);

    stream.str("");
    const std::string text(3000, 'x');
    detail::__trace__msg(eLevelError, "%s: %s\n", "DFUDevice", text.c_str());
    const std::string line = stream.str();
    ASSERT_EQ(line.size(), 1023u);
    EXPECT_EQ(line, "DFUDevice: " + text.substr(0, 1023 - 11));
}

TEST_F(LoggingTest, ProductionRules)
{
    allowedCategories = {"DFUDevice"};
    struct Case {
        uint32_t level;
        bool error;
        bool dfuDetail;
        bool otherDetail;
    };
    const Case cases[] = {
        {0, true, true, false},
        {1, true, true, false},
        {2, true, false, false},
        {3, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        detail::__reportLevelAsUInt = c.level;
        EXPECT_EQ(errorEnabled(), c.error);
        EXPECT_EQ(detailEnabled("DFUDevice"), c.dfuDetail);
        EXPECT_EQ(detailEnabled("FX2Device"), c.otherDetail);
        EXPECT_FALSE(detailEnabled("DFUDeviceX"));  // exact names only
        EXPECT_FALSE(detailEnabled(nullptr));
    }
}

}  // namespace
}  // namespace QV::DVK2::Logging
