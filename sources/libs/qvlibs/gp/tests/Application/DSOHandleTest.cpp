#include "GP/DSOHandle.h"

#include <CoreFoundation/CoreFoundation.h>

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <stdlib.h>

namespace {

namespace fs = std::filesystem;
using QV::GP::DETAIL::bundleFolderOf;

std::string folderOf(void* handle)
{
    if (!handle)
        return "(none)";
    CFURLRef url = CFBundleCopyBundleURL(static_cast<CFBundleRef>(handle));
    UInt8 buffer[4096];
    const bool fits = CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer);
    CFRelease(url);
    return fits ? reinterpret_cast<const char*>(buffer) : "(too long)";
}

// A copy of this program started inside a fake bundle reports what it finds, on one line, and ends
// before any test runs: the kept handle's folder, whether a second call kept it, whether the cache
// was left empty by the release, and the folder resolved afresh.
[[maybe_unused]] const bool s_childReport = [] {
    if (!std::getenv("QV_DSO_HANDLE_TEST_CHILD"))
        return false;
    void* first = QV::GP::getCurrentDSOHandle();
    const std::string firstFolder = folderOf(first);
    const bool kept = QV::GP::getCurrentDSOHandle() == first;
    QV::GP::releaseCurrentDSOHandle();
    void* again = QV::GP::getCurrentDSOHandle();
    void* fresh = QV::GP::resolveCurrentDSOHandle();
    std::printf("%s|%s|%s|%s\n", firstFolder.c_str(), kept ? "kept" : "not kept", folderOf(again).c_str(),
                folderOf(fresh).c_str());
    if (fresh)
        CFRelease(fresh);
    QV::GP::releaseCurrentDSOHandle();
    std::fflush(stdout);
    std::_Exit(0);
}();

class BundleFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.path().empty());
        m_bundle = m_folder.path() / "Vardolin Studio Updater.app";
        fs::create_directories(m_bundle / "Contents" / "MacOS");
        fs::create_directories(m_folder.path() / "Contents" / "MacOS-tools" / "bin");
        fs::create_directories(m_folder.path() / "x" / "Contents" / "MacOS" / "sub");
        fs::create_directory_symlink(m_bundle, m_folder.path() / "Link.app");
    }

    QV::TEST::TemporaryFolder m_folder{"qv-dsohandle"};
    fs::path m_bundle;
};

TEST_F(BundleFolderTest, OnlyTheBundleLayoutHasABundle)
{
    const std::string root = m_folder.path().string();
    const std::string bundle = m_bundle.string();
    struct Case {
        std::string codeFile;
        std::string expected;
    } cases[] = {
        {bundle + "/Contents/MacOS/updater", bundle},
        {bundle + "/Contents/MacOS/libsomething.so", bundle},   // a shared object in the bundle
        {bundle + "/Contents/MacOS/../MacOS/updater", bundle},  // made canonical
        {root + "/Link.app/Contents/MacOS/updater", bundle},    // links resolved
        {root + "/Missing.app/Contents/MacOS/updater", ""},     // no such folder
        {root + "/Contents/MacOS-tools/bin/tool", ""},          // "Contents/MacOS" inside a longer name
        {root + "/x/Contents/MacOS/sub/tool", ""},              // deeper than MacOS
        {bundle + "/Contents/updater", ""},
        {"/usr/bin/env", ""},
        {"updater", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bundleFolderOf(c.codeFile), c.expected) << c.codeFile;
}

TEST_F(BundleFolderTest, RelativePathsAreResolvedAgainstTheCurrentFolder)
{
    const fs::path before = fs::current_path();
    fs::current_path(m_folder.path());
    const std::string fromParent = bundleFolderOf("Vardolin Studio Updater.app/Contents/MacOS/updater");
    fs::current_path(m_bundle);
    const std::string fromInside = bundleFolderOf("Contents/MacOS/updater");
    fs::current_path(before);
    EXPECT_EQ(fromParent, m_bundle.string());
    EXPECT_EQ(fromInside, m_bundle.string());
}

TEST(DSOHandle, ThisProgramIsOutsideAnyBundle)
{
    // The core is linked into the test program, so the code's file is the program itself.
    EXPECT_EQ(QV::GP::DETAIL::currentCodeFile(), fs::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(QV::GP::resolveCurrentDSOHandle(), nullptr);
    EXPECT_EQ(QV::GP::getCurrentDSOHandle(), nullptr);
    EXPECT_EQ(QV::GP::getCurrentDSOHandle(), nullptr);
    QV::GP::releaseCurrentDSOHandle();  // nothing kept: nothing to release
}

TEST(DSOHandle, ProgramInsideABundleFindsIt)
{
    QV::TEST::TemporaryFolder folder("qv-dsohandle");
    ASSERT_FALSE(folder.path().empty());
    const fs::path bundle = folder.path() / "Fake Updater.app";
    const fs::path macos = bundle / "Contents" / "MacOS";
    fs::create_directories(macos);
    // A copy, not a link: the kernel names a linked program by its target.
    fs::copy_file("/proc/self/exe", macos / "updater");

    const std::string command = "QV_DSO_HANDLE_TEST_CHILD=1 '" + (macos / "updater").string() + "'";
    const QV::TEST::tRun child = QV::TEST::runCommand(command);
    EXPECT_EQ(child.status, 0);

    const std::string b = bundle.string();
    EXPECT_EQ(child.output, b + "|kept|" + b + "|" + b + "\n");
}

}  // namespace
