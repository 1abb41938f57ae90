// The "@2x" variant's name of a picture.
#include "UIA/HiDPIUrl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using QV::UIA::resolveHiDPIUrl;

TEST(HiDPIUrl, PutsTheSuffixBetweenStemAndExtensionForAnyScaleButOne)
{
    struct Case {
        const char* path;
        float scale;
        const char* expected;
    } const cases[] = {
        {"skin/pictures/button.png", 1.0f, "skin/pictures/button.png"},
        {"button", 1.0f, "button"},
        {"skin/pictures/button.png", 2.0f, "skin/pictures/button@2x.png"},
        {"/abs/olute/wheel.sheet.tga", 1.5f, "/abs/olute/wheel.sheet@2x.tga"},
        {"skin/button", 2.0f, "skin/button@2x"},
        {"button.png", 3.0f, "button@2x.png"},
        {"button.png", std::nanf(""), "button@2x.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(resolveHiDPIUrl(c.path, c.scale), c.expected);
    }
}

}  // namespace
