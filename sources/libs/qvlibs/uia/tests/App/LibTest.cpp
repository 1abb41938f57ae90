// The UI layer's start-up: a wrong version or flavour is a failed assertion that reports (here
// through the message functor) and ends the process with status 1; a good start registers the
// standard cursors and marks the menus, and the stop undoes it, also when repeated or after a failed
// start; each standard cursor is the platform's cursor of its name, the invisible one transparent.
#include "GP/Assertion.h"
#include "GP/Message.h"
#include "UIA/CursorManager.h"
#include "UIA/HMenu.h"
#include "UIA/Lib.h"

#include <AppKit/AppKit.h>
#include <AppKit/standin/Graphics.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
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
    void* const invisible = CursorManager::s_hStdCursors[12];
    ASSERT_TRUE(Lib::init(Lib::kVersion, Lib::kFlavour));
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 1) << "registered once however often started";
    EXPECT_EQ(CursorManager::s_hStdCursors[12], invisible);

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

TEST(UIALib, AFailedStartIsUndoneAndAnswersFalse)
{
    // Failed checks throw here instead of ending the process: the failure surfaces inside the start.
    QV::GP::Assertion::s_bThrowException = true;
    ASSERT_TRUE(Lib::init(Lib::kVersion, Lib::kFlavour));
    EXPECT_FALSE(Lib::init(Lib::kVersion, Lib::kFlavour + 0x10000));
    EXPECT_FALSE(Lib::init(Lib::kVersion + 1, Lib::kFlavour));
    QV::GP::Assertion::s_bThrowException = false;

    EXPECT_FALSE(Lib::isInitialized());
    EXPECT_FALSE(HMenu::s_bInit);
    EXPECT_FALSE(CursorManager::s_bInit);
    EXPECT_EQ(CursorManager::s_hStdCursors[0], nullptr);
    EXPECT_EQ(CursorManager::s_hStdRegistration, CursorManager::kInvalidRegistration);
    EXPECT_EQ(CursorManager::s_nRegistrationCount, 0);
    Lib::deInit();
}

// The library started for the cursor tests, and stopped after them.
class StandardCursors : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Lib::init(Lib::kVersion, Lib::kFlavour)); }
    void TearDown() override
    {
        CursorManager::resetSystemCursor();
        Lib::deInit();
    }

    static id platformCursor(const char* selector)
    {
        return objc::msgSend<id>(reinterpret_cast<id>(objc_getClass("NSCursor")), objc::sel(selector));
    }
    static id currentCursor() { return platformCursor("currentCursor"); }
};

TEST_F(StandardCursors, EachNumberIsThePlatformsCursorOfItsName)
{
    const char* const names[CursorManager::kStdCursorCount] = {
        "arrowCursor",
        "crosshairCursor",
        "openHandCursor",
        "IBeamCursor",
        "operationNotAllowedCursor",
        "crosshairCursor",
        "crosshairCursor",
        "resizeUpDownCursor",
        "crosshairCursor",
        "resizeLeftRightCursor",
        "resizeUpCursor",
        "arrowCursor",
        nullptr,  // 12: the invisible cursor, made here
        "pointingHandCursor",
        "closedHandCursor",
        "dragCopyCursor",
        "dragLinkCursor",
    };
    for (int i = 0; i < CursorManager::kStdCursorCount; ++i) {
        if (names[i]) {
            EXPECT_EQ(CursorManager::s_hStdCursors[i], platformCursor(names[i])) << i << " " << names[i];
        }
    }
}

TEST_F(StandardCursors, TheInvisibleCursorIsSixteenTransparentPixelsSquareWithItsHotSpotAtTheCorner)
{
    id cursor = static_cast<id>(CursorManager::s_hStdCursors[12]);
    ASSERT_NE(cursor, nil);
    const CGPoint hotSpot = objc::msgSend<CGPoint>(cursor, objc::sel("hotSpot"));
    EXPECT_EQ(hotSpot.x, 0);
    EXPECT_EQ(hotSpot.y, 0);
    cairo_surface_t* pixels = qvcompat::appkit::imageSurface(objc::msgSend<id>(cursor, objc::sel("image")));
    ASSERT_NE(pixels, nullptr);
    cairo_surface_flush(pixels);
    ASSERT_EQ(cairo_image_surface_get_width(pixels), 16);
    ASSERT_EQ(cairo_image_surface_get_height(pixels), 16);
    const unsigned char* data = cairo_image_surface_get_data(pixels);
    const int stride = cairo_image_surface_get_stride(pixels);
    int opaque = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + x * 4, 4);
            opaque += (pixel >> 24) != 0;
        }
    }
    EXPECT_EQ(opaque, 0) << "pixels that are not fully transparent";
}

TEST_F(StandardCursors, SettingNoCursorShowsTheArrow)
{
    CursorManager::setSystemCursor(CursorManager::s_hStdCursors[1]);
    EXPECT_EQ(currentCursor(), platformCursor("crosshairCursor"));
    CursorManager::setSystemCursor(nullptr);
    EXPECT_EQ(currentCursor(), platformCursor("arrowCursor"));

    CursorManager::setSystemCursor(CursorManager::s_hStdCursors[13]);
    EXPECT_EQ(currentCursor(), platformCursor("pointingHandCursor"));
    CursorManager::resetSystemCursor();
    EXPECT_EQ(currentCursor(), platformCursor("arrowCursor"));
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
