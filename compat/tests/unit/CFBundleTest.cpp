#include <CoreFoundation/CoreFoundation.h>

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string pathOf(CFURLRef url, bool resolve = true)
{
    UInt8 buffer[4096];
    if (!CFURLGetFileSystemRepresentation(url, resolve, buffer, sizeof buffer))
        return "(does not fit)";
    return reinterpret_cast<const char*>(buffer);
}

CFURLRef urlFor(const std::string& path, bool isDirectory = true)
{
    return CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
                                                   static_cast<CFIndex>(path.size()), isDirectory);
}

std::string mainBundlePath()
{
    CFBundleRef bundle = CFBundleGetMainBundle();
    if (!bundle)
        return "(none)";
    CFURLRef url = CFBundleCopyBundleURL(bundle);
    const std::string path = pathOf(url);
    CFRelease(url);
    return path;
}

// A copy of this program started inside a fake bundle prints its main bundle's folder and ends
// before any test runs.
[[maybe_unused]] const bool s_childReport = [] {
    if (!std::getenv("QV_CFBUNDLE_TEST_CHILD"))
        return false;
    std::printf("%s\n", mainBundlePath().c_str());
    std::fflush(stdout);
    std::_Exit(0);
}();

TEST(CFURL, KeepsFileSystemPaths)
{
    struct Case {
        const char* given;
        const char* expected;
    } cases[] = {
        {"/tmp/X.app", "/tmp/X.app"},
        {"/tmp/X.app/", "/tmp/X.app"},  // the representation has no trailing '/'
        {"/", "/"},
        {"/a b/\xC3\xA9", "/a b/\xC3\xA9"},
    };
    for (const Case& c : cases) {
        CFURLRef url = urlFor(c.given);
        ASSERT_NE(url, nullptr) << c.given;
        EXPECT_EQ(CFGetTypeID(url), CFURLGetTypeID());
        EXPECT_EQ(pathOf(url), c.expected);
        CFRelease(url);
    }
    EXPECT_EQ(urlFor(""), nullptr);
    EXPECT_EQ(CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, nullptr, 3, true), nullptr);

    // The length given counts, not a terminator.
    const UInt8 longer[] = {'/', 'a', 'b', 'c'};
    CFURLRef cut = CFURLCreateFromFileSystemRepresentation(kCFAllocatorDefault, longer, 2, false);
    EXPECT_EQ(pathOf(cut), "/a");
    CFRelease(cut);
}

TEST(CFURL, RelativePathsResolveAgainstTheCurrentFolder)
{
    CFURLRef url = urlFor("some/file", false);
    const std::string cwd = fs::current_path().string();
    EXPECT_EQ(pathOf(url, true), (cwd == "/" ? "" : cwd) + "/some/file");
    EXPECT_EQ(pathOf(url, false), "some/file");
    CFRelease(url);
}

TEST(CFURL, RepresentationMustFitTheBuffer)
{
    CFURLRef url = urlFor("/abc");
    UInt8 exact[5];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url, true, exact, sizeof exact));
    EXPECT_STREQ(reinterpret_cast<const char*>(exact), "/abc");
    UInt8 tooSmall[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, tooSmall, sizeof tooSmall));  // no room for NUL
    EXPECT_EQ(tooSmall[0], 'x');
    CFRelease(url);
}

TEST(CFBundle, CreatedOnlyForExistingFolders)
{
    QV::TEST::TemporaryFolder folder("qv-cfbundle");
    ASSERT_FALSE(folder.path().empty());
    const fs::path bundlePath = folder.path() / "X.app";
    fs::create_directories(bundlePath / "Contents" / "MacOS");
    std::ofstream(folder.path() / "plain-file") << "x";

    CFURLRef url = urlFor(bundlePath.string());
    CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(CFGetTypeID(bundle), CFBundleGetTypeID());
    CFRelease(url);  // the bundle keeps its own reference

    CFURLRef copied = CFBundleCopyBundleURL(bundle);
    EXPECT_EQ(pathOf(copied), bundlePath.string());
    CFRelease(copied);
    CFRelease(bundle);

    for (const fs::path& notAFolder : {folder.path() / "missing.app", folder.path() / "plain-file"}) {
        CFURLRef other = urlFor(notAFolder.string());
        EXPECT_EQ(CFBundleCreate(kCFAllocatorDefault, other), nullptr) << notAFolder;
        CFRelease(other);
    }
    EXPECT_EQ(CFBundleCreate(kCFAllocatorDefault, nullptr), nullptr);
}

TEST(CFBundle, MainBundleOfAPlainProgramIsItsFolder)
{
    const fs::path executable = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(mainBundlePath(), executable.parent_path().string());
    EXPECT_EQ(CFBundleGetMainBundle(), CFBundleGetMainBundle());
}

TEST(CFBundle, MainBundleOfAProgramInsideABundle)
{
    QV::TEST::TemporaryFolder folder("qv-cfbundle");
    ASSERT_FALSE(folder.path().empty());
    const fs::path bundlePath = folder.path() / "Fake Tool.app";
    const fs::path macos = bundlePath / "Contents" / "MacOS";
    fs::create_directories(macos);
    fs::copy_file("/proc/self/exe", macos / "tool");

    const std::string command = "QV_CFBUNDLE_TEST_CHILD=1 '" + (macos / "tool").string() + "'";
    EXPECT_EQ(QV::TEST::firstLineOf(command), bundlePath.string());
}

TEST(CFBundle, TheExecutableIsTheRunningProgramsForTheMainBundleAndTheNamedFileForOthers)
{
    // The main bundle's executable is known without any Info.plist (this program has none).
    CFURLRef running = CFBundleCopyExecutableURL(CFBundleGetMainBundle());
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(pathOf(running), fs::read_symlink("/proc/self/exe").string());
    CFRelease(running);

    QV::TEST::TemporaryFolder folder("qv-cfbundle");
    ASSERT_FALSE(folder.path().empty());
    const fs::path contents = folder.path() / "X.app" / "Contents";
    fs::create_directories(contents / "MacOS");
    CFURLRef url = urlFor((folder.path() / "X.app").string());
    struct Case {
        const char* plist;     // Info.plist's CFBundleExecutable entry; null: no Info.plist
        bool fileThere;        // Contents/MacOS/tool exists
        const char* expected;  // relative to Contents/MacOS; null: no executable
    } cases[] = {
        {nullptr, true, nullptr},
        {"<key>CFBundleExecutable</key><string>tool</string>", true, "tool"},
        {"<key>CFBundleExecutable</key><string>tool</string>", false, nullptr},
        {"<key>CFBundleExecutable</key><integer>3</integer>", true, nullptr},
    };
    for (const Case& c : cases) {
        fs::remove(contents / "Info.plist");
        fs::remove(contents / "MacOS" / "tool");
        if (c.plist)
            std::ofstream(contents / "Info.plist") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                   << "<plist version=\"1.0\"><dict>" << c.plist << "</dict></plist>\n";
        if (c.fileThere)
            std::ofstream(contents / "MacOS" / "tool") << "x";
        CFBundleRef bundle = CFBundleCreate(kCFAllocatorDefault, url);  // reads its Info.plist afresh
        ASSERT_NE(bundle, nullptr);
        CFURLRef executable = CFBundleCopyExecutableURL(bundle);
        if (c.expected) {
            ASSERT_NE(executable, nullptr) << (c.plist ? c.plist : "no Info.plist");
            EXPECT_EQ(pathOf(executable), (contents / "MacOS" / c.expected).string());
            CFRelease(executable);
        } else {
            EXPECT_EQ(executable, nullptr) << (c.plist ? c.plist : "no Info.plist") << " " << c.fileThere;
        }
        CFRelease(bundle);
    }
    CFRelease(url);
    EXPECT_EQ(CFBundleCopyExecutableURL(nullptr), nullptr);
}

}  // namespace
