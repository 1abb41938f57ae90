// The UI layer's start-up: a wrong version or flavour is a failed assertion that reports (here
// through the message functor) and ends the process with status 1; a good start registers the
// standard cursors and marks the menus, and the stop undoes it, also when repeated.
#include "GP/Message.h"
#include "UIA/CursorManager.h"
#include "UIA/HMenu.h"
#include "UIA/Lib.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace QV::UIA;
using QV::GP::Message;

// The report of a failed check, written where the death test reads it.
void reportToStandardError()
{
    Message::s_showMessageFunctor = [](const QV::GP::CharSequence<char>& text, Message::eType, Message::eButton,
                                       Message::eIcon, const char*) {
        std::fprintf(stderr, "message: %s\n", std::string(text.data(), text.size()).c_str());
        return Message::eButtonOK;
    };
}

TEST(UIALibDeathTest, WrongVersionOrFlavourEndsTheProcessWithItsLine)
{
    struct tCase {
        int version;
        int flavour;
        const char* report;
    } const cases[] = {
        // A wrong version fails before the flavour is looked at.
        {0x4010001, 70, "message: .*Init_UIA:150"},
        {0x4010000, 70, "message: .*Init_UIA:153"},
        // The low 16 bits are right, the flavour is not.
        {0x4010000, 69 + 0x10000, "message: .*Init_UIA:156"},
    };
    for (const tCase& c : cases) {
        EXPECT_EXIT(
            {
                reportToStandardError();
                Lib::init(c.version, c.flavour);
            },
            testing::ExitedWithCode(1), c.report)
            << c.report;
    }
}

TEST(UIALib, StartRegistersTheStandardCursorsAndStopUndoesIt)
{
    ASSERT_TRUE(Lib::init(Lib::kVersion, Lib::kFlavour));
    EXPECT_TRUE(Lib::isInitialized());
    EXPECT_TRUE(HMenu::s_bInit);
    EXPECT_TRUE(CursorManager::s_bInit);
    for (int i = 0; i < CursorManager::kStdCursorCount; ++i)
        EXPECT_NE(CursorManager::s_hStdCursors[i], nullptr) << i;
    EXPECT_EQ(CursorManager::s_hStdCursors[0], CursorManager::s_hStdCursors[11]) << "both the arrow";
    EXPECT_NE(CursorManager::s_hStdCursors[12], CursorManager::s_hStdCursors[0]) << "the invisible cursor";
    EXPECT_NE(CursorManager::s_hStdRegistration, CursorManager::kInvalidRegistration);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 1);

    Lib::deInit();
    EXPECT_FALSE(Lib::isInitialized());
    EXPECT_FALSE(HMenu::s_bInit);
    EXPECT_FALSE(CursorManager::s_bInit);
    EXPECT_EQ(CursorManager::s_hStdCursors[12], nullptr);
    EXPECT_EQ(CursorManager::s_hStdRegistration, CursorManager::kInvalidRegistration);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 0);
    Lib::deInit();
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 0);
}

TEST(CursorRegistrations, OnlyTheMostRecentClosedRegistrationIsUndone)
{
    const CursorManager::RegistrationHandle older = CursorManager::openRegistration();
    ASSERT_NE(older, CursorManager::kInvalidRegistration);
    EXPECT_EQ(CursorManager::openRegistration(), CursorManager::kInvalidRegistration) << "one open at a time";
    CursorManager::closeRegistration(older);
    const CursorManager::RegistrationHandle newer = CursorManager::openRegistration();
    ASSERT_NE(newer, CursorManager::kInvalidRegistration);

    CursorManager::unregister(newer);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 2) << "still open";
    CursorManager::closeRegistration(newer);
    CursorManager::unregister(older);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 2) << "an older one while a newer exists";
    CursorManager::unregister(CursorManager::kInvalidRegistration);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 2);
    CursorManager::unregister(newer);
    CursorManager::unregister(older);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 0);
}

}  // namespace
