// Opening URLs: what is no URL answers false before anything is made or opened, and a URL that
// no program handles answers false after both objects were made and released.
#include "UIA/External.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::UIA;

TEST(ExternalOpenURL, TextThatIsNoOpenableURLGivesFalse)
{
    const char* const cases[] = {
        "\xC3(",                                   // not UTF-8: no string is made
        "http://exa mple.com/",                    // a space: no URL is made
        "http://example.com/%zz",                  // a broken escape: no URL
        "",                                        // empty
        "qv-test-scheme-nobody-handles:anything",  // a URL with no handler
    };
    for (const char* url : cases) {
        EXPECT_FALSE(External::openURL(url)) << url;
        EXPECT_FALSE(External::openPreprocessedURL(url)) << url;
    }
    EXPECT_FALSE(External::openURL(nullptr));
    EXPECT_FALSE(External::openPreprocessedURL(nullptr));
}

}  // namespace
