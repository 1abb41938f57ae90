#include "GP/DebugTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using QV::GP::DebugTrace;

class DebugTraceTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_file = std::tmpfile();
        ASSERT_NE(m_file, nullptr);
        QV::GP::s_fErr = m_file;
    }
    void TearDown() override
    {
        QV::GP::s_fErr = nullptr;
        std::fclose(m_file);
        DebugTrace::setMode(DebugTrace::eModeOff);
        DebugTrace::clearGroupFilter();
    }

    std::string written() const
    {
        std::string text;
        std::rewind(m_file);
        for (int c = std::fgetc(m_file); c != EOF; c = std::fgetc(m_file))
            text.push_back(static_cast<char>(c));
        return text;
    }

    std::FILE* m_file = nullptr;
};

TEST_F(DebugTraceTest, GroupsAreFilteredByModeAndList)
{
    DebugTrace::addGroup("dev");
    DebugTrace::addGroup("");  // lists nothing
    struct Case {
        const char* group;
        bool off, listed, unlessMarked;  // enabled in modes 0, 1 and 2
    } cases[] = {
        {nullptr, true, true, true},     {"", true, true, true},        {"+anything", true, true, true},
        {"dev", false, true, true},      {"dev.x", false, true, true},  {"dev.x.y", false, true, true},
        {"-dev.x", false, true, true},   {"devx", false, false, true},  {"-devx", false, false, false},
        {"-other", false, false, false}, {"other", false, false, true}, {"-", false, false, false},
        {"de", false, false, true},
    };
    for (const Case& c : cases) {
        const char* name = c.group ? c.group : "(null)";
        DebugTrace::setMode(DebugTrace::eModeOff);
        EXPECT_EQ(DebugTrace::isGroupEnabled(c.group), c.off) << name << " in mode 0";
        DebugTrace::setMode(DebugTrace::eModeListed);
        EXPECT_EQ(DebugTrace::isGroupEnabled(c.group), c.listed) << name << " in mode 1";
        DebugTrace::setMode(DebugTrace::eModeUnlessMarked);
        EXPECT_EQ(DebugTrace::isGroupEnabled(c.group), c.unlessMarked) << name << " in mode 2";
    }
    DebugTrace::clearGroupFilter();
    DebugTrace::setMode(DebugTrace::eModeListed);
    EXPECT_FALSE(DebugTrace::isGroupEnabled("dev"));
}

TEST_F(DebugTraceTest, LinesNameTheirGroup)
{
    DebugTrace::setMode(DebugTrace::eModeUnlessMarked);
    DebugTrace::printLine("+net", "x");
    DebugTrace::printLine("", "alone");
    DebugTrace::printLine(nullptr, "no group");
    DebugTrace::printLine("+", "plus only");
    DebugTrace::printLine("usb.dfu", "state 2");
    DebugTrace::printLine("-hidden", "not written");
    EXPECT_EQ(written(), "net: x\nalone\nno group\nplus only\nusb.dfu: state 2\n");
}

TEST_F(DebugTraceTest, ExactlyTheGivenLengthIsWritten)
{
    const char text[] = "abc\0def";
    DebugTrace::printLine("+g", QV::GP::CharSequence<char>(text, 2));  // a view into a longer text
    DebugTrace::printLine("+g", QV::GP::CharSequence<char>(text, 7));  // with a NUL inside
    EXPECT_EQ(written(), std::string("g: ab\ng: abc\0def\n", 17));
}

TEST_F(DebugTraceTest, WithoutATraceFileLinesGoToStandardError)
{
    QV::GP::s_fErr = nullptr;
    testing::internal::CaptureStderr();
    DebugTrace::printLine("+core", "to stderr");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "core: to stderr\n");
    EXPECT_EQ(written(), "");
}

}  // namespace
