// Opening a URL with the desktop's default application: the test installs a handler of its own for
// a URL scheme (a desktop entry running a script that writes the URL it was given) in XDG folders
// of its own, set before GLib reads them.
#include <CoreServices/CoreServices.h>

#include "QVTest/DesktopUrlHandler.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <string>

namespace {

// Made before main, so before GLib reads the XDG folders.
const QV::TEST::DesktopUrlHandler g_desktop;

CFURLRef urlOf(const char* text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    CFURLRef url = CFURLCreateWithString(kCFAllocatorDefault, string, nullptr);
    CFRelease(string);
    return url;
}

TEST(OpenUrlTest, TheSchemesDefaultHandlerGetsTheUrl)
{
    CFURLRef url = urlOf("qvtest://example.org/kb?article=12");
    ASSERT_NE(url, nullptr);
    CFURLRef launched = url;  // the stand-in clears it
    EXPECT_EQ(LSOpenCFURLRef(url, &launched), noErr);
    EXPECT_EQ(launched, nullptr);
    EXPECT_EQ(g_desktop.opened(), "qvtest://example.org/kb?article=12\n");
    CFRelease(url);
}

TEST(OpenUrlTest, NoHandlerAndNoSchemeAreFailures)
{
    CFURLRef unhandled = urlOf("qvnohandler://example.org/");
    EXPECT_EQ(LSOpenCFURLRef(unhandled, nullptr), kLSApplicationNotFoundErr);
    CFRelease(unhandled);
    CFURLRef relative = urlOf("just/a/path");
    EXPECT_EQ(LSOpenCFURLRef(relative, nullptr), paramErr);
    CFRelease(relative);
    EXPECT_EQ(LSOpenCFURLRef(nullptr, nullptr), paramErr);
}

}  // namespace
