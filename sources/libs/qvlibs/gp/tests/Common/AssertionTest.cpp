#include "GP/Application.h"
#include "GP/Assertion.h"

#include "ReportingAlertRunner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using QV::GP::Assertion;

class AssertionThrowing : public testing::Test {
protected:
    void SetUp() override { Assertion::s_bThrowException = true; }
    void TearDown() override { Assertion::s_bThrowException = false; }
};

// What a failed check hands on, with throwing switched on.
Assertion::exception failWith(const char* file, int line, const char* text)
{
    try {
        Assertion::DoFail(file, line, text);
    } catch (const Assertion::exception& e) {
        return e;
    }
    ADD_FAILURE() << "DoFail returned";
    return Assertion::exception(nullptr, 0, nullptr);
}

TEST_F(AssertionThrowing, UnshowableTextsAreLeftOut)
{
    const std::string longest(1023, 'a'), tooLong(1024, 'a');
    struct Case {
        const char* text;
        bool kept;
    } cases[] = {
        {"src/Common/Init_GP", true}, {"", true},      {longest.c_str(), true}, {tooLong.c_str(), false},
        {"caf\xC3\xA9.cpp", false},   {"\x80", false}, {nullptr, false},
    };
    for (const Case& c : cases) {
        const Assertion::exception asFile = failWith(c.text, 7, "x");
        const Assertion::exception asText = failWith("f.cpp", 7, c.text);
        EXPECT_EQ(asFile.file(), c.kept ? c.text : nullptr) << (c.text ? c.text : "(null)");
        EXPECT_EQ(asText.text(), c.kept ? c.text : nullptr) << (c.text ? c.text : "(null)");
        EXPECT_EQ(asFile.line(), 7);
    }
}

TEST(AssertionException, WhatTellsFileLineAndText)
{
    const std::string longText(2000, 'x');
    struct Case {
        const char* file;
        int line;
        const char* text;
        std::string expected;
    } cases[] = {
        {"a.cpp", 3, "bad value", "Assertion in a.cpp:3 bad value"},
        {"a.cpp", 3, nullptr, "Assertion in a.cpp:3"},
        {"a.cpp", -1, "", "Assertion in a.cpp:-1 "},
        {nullptr, 12, "no file", "Assertion in (unknown file):12 no file"},
        {nullptr, 12, nullptr, "Assertion in (unknown file):12"},
        {"a.cpp", 3, longText.c_str(), ("Assertion in a.cpp:3 " + longText).substr(0, 1023)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(Assertion::exception(c.file, c.line, c.text).what()), c.expected);
}

// A failed check reports in a message box and ends the process with status 1.
class AssertionDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(AssertionDeathTest, ReportsFileLineAndTextThenExits)
{
    const std::string longFile(1024, 'f');
    struct Case {
        const char* file;
        const char* text;
        const char* report;  // the box's text, line breaks as \n
    } cases[] = {
        {"src/x.cpp", "value out of range", "Error src/x\\.cpp:42\\\\n\\\\nvalue out of range"},
        {"src/x.cpp", nullptr, "Error src/x\\.cpp:42"},
        {"src/x.cpp", "", "Error src/x\\.cpp:42\\\\n\\\\n"},  // empty text: the breaks, nothing after
        {"src/\xC3\xA4.cpp", "t", "Error \\(unknown file\\):42\\\\n\\\\nt"},
        {longFile.c_str(), "t", "Error \\(unknown file\\):42\\\\n\\\\nt"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                QV::TEST::ReportingAlertRunner::install();
                Assertion::DoFail(c.file, 42, c.text);
            },
            testing::ExitedWithCode(1), std::string("\\[Orvendal\\|") + c.report + "\\|OK\\]");
    }
}

void preHandler(const char* file, int line, const char* text)
{
    std::fprintf(stderr, "pre %s:%d %s, reporting %d\n", file, line, text, Assertion::s_iAssertReenter.load());
}

void terminationHandler() { std::fprintf(stderr, "terminating\n"); }

TEST_F(AssertionDeathTest, HandlersRunAroundTheReport)
{
    EXPECT_EXIT(
        {
            QV::TEST::ReportingAlertRunner::install();
            QV::GP::Application::setName("Checker");
            Assertion::s_PreAssertionHandler = &preHandler;
            Assertion::s_TerminationHandler = &terminationHandler;
            Assertion::DoFail("h.cpp", 5, "why");
        },
        testing::ExitedWithCode(1), "pre h\\.cpp:5 why, reporting 0\n\\[Checker\\|Error h\\.cpp:5.*\\]\nterminating\n");
}

// Off the main thread, while the main thread waits for it and runs no main loop: the platform's
// alert cannot reach the main thread and reports on standard error; the process still ends with 1.
TEST_F(AssertionDeathTest, AFailureOnAnotherThreadStillEndsTheProcess)
{
    EXPECT_EXIT(
        {
            std::thread worker([] { Assertion::DoFail("worker.cpp", 9, "from a worker"); });
            worker.join();
            std::exit(0);
        },
        testing::ExitedWithCode(1), "Orvendal\nError worker\\.cpp:9\n\nfrom a worker\n");
}

}  // namespace
