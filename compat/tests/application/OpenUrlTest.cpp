// Opening a URL with the desktop's default application: the test installs a handler of its own for
// a URL scheme (a desktop entry running a script that writes the URL it was given) in XDG folders
// of its own, set before GLib reads them.
#include <CoreServices/CoreServices.h>

#include <gtest/gtest.h>

#include <glib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The XDG folders, made before main (and so before GLib caches the folders' names).
const fs::path g_home = [] {
    char pattern[] = "/tmp/qv-openurl-XXXXXX";
    const fs::path home = mkdtemp(pattern);
    fs::create_directories(home / "data/applications");
    fs::create_directories(home / "config");
    const fs::path script = home / "handler.sh";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << (home / "opened").string() << "'\n";
    fs::permissions(script, fs::perms::owner_all);
    std::ofstream(home / "data/applications/qvtest-handler.desktop")
        << "[Desktop Entry]\nType=Application\nName=Test handler\nExec=" << script.string()
        << " %u\nMimeType=x-scheme-handler/qvtest;\n";
    std::ofstream(home / "config/mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/qvtest=qvtest-handler.desktop\n";
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    setenv("XDG_DATA_DIRS", (home / "none").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (home / "none").c_str(), 1);
    return home;
}();

struct tCleanUp {
    ~tCleanUp() { fs::remove_all(g_home); }
} g_cleanUp;

CFURLRef urlOf(const char* text)
{
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    CFURLRef url = CFURLCreateWithString(kCFAllocatorDefault, string, nullptr);
    CFRelease(string);
    return url;
}

// What the handler wrote, once it wrote a line, or empty after five seconds.
std::string opened()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream file(g_home / "opened");
        std::stringstream text;
        text << file.rdbuf();
        if (!text.str().empty() && text.str().back() == '\n')
            return text.str();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::string();
}

TEST(OpenUrlTest, TheSchemesDefaultHandlerGetsTheUrl)
{
    CFURLRef url = urlOf("qvtest://example.org/kb?article=12");
    ASSERT_NE(url, nullptr);
    CFURLRef launched = url;  // the stand-in clears it
    EXPECT_EQ(LSOpenCFURLRef(url, &launched), noErr);
    EXPECT_EQ(launched, nullptr);
    EXPECT_EQ(opened(), "qvtest://example.org/kb?article=12\n");
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
