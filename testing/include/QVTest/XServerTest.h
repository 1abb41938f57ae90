// The base of the tests that run on the process's own X server (PrivateXServer): the server is the
// process's default display, for GDK on X11 too, and each test has a connection of its own to it,
// for XTest input and for reading back what the server shows. Without a server the test is skipped.
// `Base` is the fixture the test builds on (a started toolkit, say), set up once the server answers.
// A fixture that sets up more calls XServerTest::SetUp() first and returns when IsSkipped().
#pragma once

#include "QVTest/PrivateXServer.h"
#include "QVTest/XWindowPlace.h"

#include <gtest/gtest.h>

#include <string>

namespace QV::TEST {

template <class Base = ::testing::Test>
class XServerTest : public Base {
protected:
    static void SetUpTestSuite() { server().makeDefault(); }

    void SetUp() override
    {
        m_display = server().connect();
        if (!m_display)
            GTEST_SKIP() << "no X server (Xvfb)";
        Base::SetUp();
    }
    void TearDown() override
    {
        if (!m_display)
            return;
        Base::TearDown();
        PrivateXServer::disconnect(m_display);
        m_display = nullptr;
    }

    static PrivateXServer& server() { return PrivateXServer::shared(); }

    // Where the server shows the X window, once it has handled what this test's connection sent.
    tXWindowPlace placeOnScreen(unsigned long window) const { return xWindowPlace(m_display, window); }

    _XDisplay* m_display = nullptr;
};

}  // namespace QV::TEST
