// The toolkit's start and stop: a second start is a failed assertion at the toolkit's start-up
// unit, a stop without a start is harmless, every start makes a fresh resource manager holding
// only the built-in default sheet, and the stop ends the region library that the start began.
#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/StyleSheetManager.h"

#include "GP/Assertion.h"
#include "GP/Region.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

namespace {

using QV::GP::Assertion;
using namespace QV::PXT;

TEST(PXTLib, StartsAndStopsWithAFreshManagerEachTime)
{
    Lib::deInit();  // without a start: nothing to delete
    EXPECT_EQ(Lib::getManagerContainer(), nullptr);
    EXPECT_EQ(StyleSheetManager::get(), nullptr);

    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Lib::init());
        EXPECT_TRUE(Lib::isInitialized());
        ASSERT_NE(StyleSheetManager::get(), nullptr);
        StyleSheet& sheet = StyleSheetManager::get()->getDefaultStyleSheet();
        // Only the built-in rules: four for background-color (*, *:down, *:over, Bar).
        EXPECT_EQ(sheet.getRules().at(qv::symbol("background-color")).size(), 4u);
        sheet.createDirect("Label { width: 3 }");
        EXPECT_EQ(sheet.getRules().count(qv::symbol("background-color")), 0u);
        Lib::deInit();
        EXPECT_FALSE(Lib::isInitialized());
        EXPECT_EQ(StyleSheetManager::get(), nullptr);
    }
}

TEST(PXTLib, ASecondStartIsAFailedAssertion)
{
    ASSERT_TRUE(Lib::init());
    Assertion::s_bThrowException = true;
    try {
        Lib::init();
        ADD_FAILURE() << "a second start went through";
    } catch (const Assertion::exception& failure) {
        EXPECT_EQ(std::string(failure.file()), "../sources/libs/qvlibs/pxt/Core/src/Init_PXT");
        EXPECT_EQ(failure.line(), 27);
    }
    Assertion::s_bThrowException = false;
    EXPECT_TRUE(Lib::isInitialized());
    Lib::deInit();
}

// Two rectangles apart need items from the region pool, which exists only between the region
// library's start and its last stop; this program starts it nowhere else.
TEST(PXTLib, TheRegionLibraryLivesFromTheStartToTheStop)
{
    const auto twoRectangles = [] {
        QV::GP::Region region;
        region.addFast(QV::GP::Rect(0, 0, 10, 10));
        region.addFast(QV::GP::Rect(20, 20, 30, 30));
        return region.getCount();
    };
    ASSERT_TRUE(Lib::init());
    EXPECT_EQ(twoRectangles(), 2);
    Lib::deInit();
    EXPECT_THROW(twoRectangles(), std::bad_alloc);
}

}  // namespace
