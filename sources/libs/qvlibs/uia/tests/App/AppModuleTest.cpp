// The application module: the current module, attaching and destroying the application (a failed
// init leaves an application that is stopped twice, safely), the locale, the bundle's version text
// (read by a copy of this program placed in a bundle), the resource map emptied by the stop.
#include "GP/DSOHandle.h"
#include "QVTest/RunCommand.h"
#include "QVTest/TemporaryFolder.h"
#include "TestApplication.h"
#include "UIA/ResourceFacade.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace QV::UIA;
using QV::UIA::TEST::TestApplication;
using QV::UIA::TEST::TestModule;
namespace fs = std::filesystem;

// The Info.plist entries of each bundle the version text is read from, in the order tried.
struct tVersionCase {
    const char* entries;  // the dictionary's inner XML
    const char* result;   // "<answer>|<text>" with the text starting as "Version "
};
const tVersionCase kVersionCases[] = {
    {"<key>CFBundleShortVersionString</key><string>1.1.0,147</string>"
     "<key>CFBundleVersion</key><string>9.9</string>",
     "1|1.1.0"},
    {"<key>CFBundleVersion</key><string>2.5</string>", "1|2.5"},
    {"<key>CFBundleShortVersionString</key><integer>3</integer>"
     "<key>CFBundleVersion</key><string>2.5</string>",
     "0|Version ?.??.???"},
    {"<key>CFBundleVersion</key><integer>3</integer>", "0|Version ?.??.???"},
    {"<key>CFBundleName</key><string>Updater</string>", "0|Version ?.??.???"},
};

// A copy of this program started inside a bundle writes each case's Info.plist, reads the version
// text afresh and prints one line per case, then ends before any test runs.
[[maybe_unused]] const bool s_versionChild = [] {
    const char* bundle = std::getenv("QV_VERSION_TEXT_CHILD");
    if (!bundle)
        return false;
    for (const tVersionCase& c : kVersionCases) {
        std::ofstream(fs::path(bundle) / "Contents" / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" << c.entries
            << "</dict></plist>\n";
        QV::GP::releaseCurrentDSOHandle();
        std::string text = "Version ";
        const bool answer = AppModule::getVersionInfo(text);
        std::printf("%d|%s\n", answer ? 1 : 0, text.c_str());
    }
    QV::GP::releaseCurrentDSOHandle();
    std::fflush(stdout);
    std::_Exit(0);
}();

TEST(VersionText, CutAtTheFirstComma)
{
    struct tCase {
        const char* bundleVersion;
        const char* shown;
    } const cases[] = {
        {"1.1.0,147", "1.1.0"}, {"1.1.0", "1.1.0"}, {"2.0,1,2", "2.0"}, {",147", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(versionTextOf(c.bundleVersion), c.shown) << c.bundleVersion;
}

TEST(VersionText, WithoutBundleTheUnknownVersionIsAppended)
{
    // The test program lies in no bundle.
    std::string text = "Version ";
    EXPECT_FALSE(AppModule::getVersionInfo(text));
    EXPECT_EQ(text, "Version ?.??.???");
}

using Log = std::vector<std::string>;

TEST(VersionText, InABundleTheTextIsAssignedFromTheFirstKeyPresentWhenItIsText)
{
    QV::TEST::TemporaryFolder folder("qv-version-text");
    ASSERT_FALSE(folder.path().empty());
    const fs::path bundle = folder.path() / "Updater.app";
    const fs::path macos = bundle / "Contents" / "MacOS";
    fs::create_directories(macos);
    // A copy, not a link: the kernel names a linked program by its target.
    fs::copy_file("/proc/self/exe", macos / "updater");

    const QV::TEST::tRun child =
        QV::TEST::runCommand("QV_VERSION_TEXT_CHILD='" + bundle.string() + "' '" + (macos / "updater").string() + "'");
    EXPECT_EQ(child.status, 0);
    std::string expected;
    for (const tVersionCase& c : kVersionCases)
        expected += std::string(c.result) + "\n";
    EXPECT_EQ(child.output, expected);
}

TEST(AppModule, FirstModuleIsCurrentAndTheApplicationGoesWithIt)
{
    EXPECT_EQ(Application::getApplication(), nullptr) << "no module yet";
    Log log;
    {
        TestModule module;
        TestModule second;
        EXPECT_EQ(AppModule::getCurrentModule(), &module);
        EXPECT_EQ(Application::getApplication(), nullptr) << "no application yet";
        EXPECT_TRUE(module.getLocale(false).empty());
        EXPECT_TRUE(AppModule::getLocaleInRegistry().empty());

        EXPECT_FALSE(module.attachApplication(nullptr));
        EXPECT_EQ(module.getApplication(), nullptr);
        auto* first = new TestApplication(&log);
        ASSERT_TRUE(module.attachApplication(first));
        EXPECT_EQ(Application::getApplication(), first);
        EXPECT_EQ(first->getModuleOwner(), &module);

        TestApplication other;
        EXPECT_FALSE(module.attachApplication(&other)) << "one application per module";
        EXPECT_EQ(module.getApplication(), first);
        EXPECT_EQ(other.getModuleOwner(), nullptr);
        EXPECT_TRUE(log.empty());
    }
    // Never created: its start-up result is false, and the application is told so.
    EXPECT_EQ(log, (Log{"deInit(false)", "deleted"}));
    EXPECT_EQ(AppModule::getCurrentModule(), nullptr);
}

TEST(AppModule, TheApplicationIsStoppedWithTheModulesStartResultAndLetGoBeforeItIsDeleted)
{
    Log log;
    TestModule module;
    ASSERT_TRUE(module.create());
    ASSERT_TRUE(module.getInitResult());
    ASSERT_TRUE(module.attachApplication(new TestApplication(&log)));
    module.destroyApplication();
    EXPECT_EQ(log, (Log{"deInit(true)", "deleted"}));
    EXPECT_EQ(module.getApplication(), nullptr);
    EXPECT_EQ(Application::getApplication(), nullptr);
}

TEST(AppModule, FailedApplicationInitIsStoppedAtOnceAndAgainWhenDestroyed)
{
    Log log;
    TestModule module;
    ASSERT_TRUE(module.create());
    auto* app = new TestApplication(&log, false);
    EXPECT_FALSE(module.attachApplication(app));
    // Stopped as failed, whatever the module's own start gave.
    EXPECT_EQ(log, Log{"deInit(false)"});
    EXPECT_EQ(module.getApplication(), app) << "kept, and owned";
    EXPECT_EQ(app->getModuleOwner(), &module);
    module.destroyApplication();
    EXPECT_EQ(log, (Log{"deInit(false)", "deInit(true)", "deleted"}));
    EXPECT_EQ(module.getApplication(), nullptr);
    module.destroyApplication();
    EXPECT_EQ(log.size(), 3u);
}

TEST(AppModule, StartupRunsTheModulesInitAndStopHandsBackItsResult)
{
    EXPECT_FALSE(AppModuleStartup::init()) << "no module";
    AppModuleStartup::deInit();

    struct RecordingModule : AppModule {
        bool init() override { return result; }
        void deInit(bool initResult) override { stopped.push_back(initResult); }
        bool result = false;
        std::vector<bool> stopped;
    } module;
    module.result = true;
    EXPECT_TRUE(AppModuleStartup::init());
    AppModuleStartup::deInit();
    module.result = false;
    EXPECT_FALSE(AppModuleStartup::init());
    AppModuleStartup::deInit();
    EXPECT_EQ(module.stopped, (std::vector<bool>{true, false}));
}

TEST(AppModule, StopEmptiesTheResourceMapOnlyWithAModule)
{
    static const unsigned char bytes[2] = {1, 2};
    ResourceFacade::g_theResourceMap.add("TTFd", 3, bytes, sizeof bytes);
    AppModuleStartup::deInit();
    EXPECT_FALSE(ResourceFacade::g_theResourceMap.empty()) << "no module: nothing is stopped";
    {
        TestModule module;
        AppModuleStartup::deInit();
        EXPECT_TRUE(ResourceFacade::g_theResourceMap.empty());
    }
    ResourceFacade::clearResourceMap();
}

}  // namespace
