#include "GP/FileManager.h"

#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

// A copy of this program started inside a bundle prints the bundle path it finds (asked from two
// threads at once) and ends before any test runs.
[[maybe_unused]] const bool s_childReport = [] {
    if (!std::getenv("QV_BUNDLE_PATH_TEST_CHILD"))
        return false;
    const fs::path* other = nullptr;
    std::thread racer([&] { other = &QV::GP::getCurrentBundlePath(); });
    const fs::path& first = QV::GP::getCurrentBundlePath();
    racer.join();
    std::printf("%s|%s\n", first.c_str(), other == &first ? "same" : "different");
    std::fflush(stdout);
    std::_Exit(0);
}();

TEST(BundlePath, IsEmptyOutsideABundle) { EXPECT_TRUE(QV::GP::getCurrentBundlePath().empty()); }

TEST(BundlePath, IsTheBundleFolderByteForByte)
{
    QV::TEST::TemporaryFolder folder("qv-bundlepath");
    ASSERT_FALSE(folder.path().empty());
    // A decomposed é: the path must come back as it is on disk, not composed.
    const fs::path bundle = folder.path() / "Cafe\xCC\x81 Updater.app";
    const fs::path macos = bundle / "Contents" / "MacOS";
    fs::create_directories(macos);
    fs::copy_file("/proc/self/exe", macos / "updater");  // a copy: the kernel names a link by its target

    const QV::TEST::tRun child =
        QV::TEST::runCommand("QV_BUNDLE_PATH_TEST_CHILD=1 '" + (macos / "updater").string() + "'");
    EXPECT_EQ(child.status, 0);
    EXPECT_EQ(child.output, bundle.string() + "|same\n");
}

}  // namespace
