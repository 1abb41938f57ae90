// The application module: the current module, attaching and destroying the application (a failed
// init leaves an application that is stopped twice, safely), the locale, the bundle's version text.
#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

using namespace QV::UIA;
using QV::UIA::TEST::TestApplication;
using QV::UIA::TEST::TestModule;

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

TEST(AppModule, FirstModuleIsCurrentAndTheApplicationGoesWithIt)
{
    EXPECT_EQ(Application::getApplication(), nullptr) << "no module yet";
    int deInits = 0;
    {
        TestModule module;
        TestModule second;
        EXPECT_EQ(AppModule::getCurrentModule(), &module);
        EXPECT_EQ(Application::getApplication(), nullptr) << "no application yet";
        EXPECT_TRUE(module.getLocale(false).empty());
        EXPECT_TRUE(AppModule::getLocaleInRegistry().empty());

        auto* first = new TestApplication(&deInits);
        ASSERT_TRUE(module.attachApplication(first));
        EXPECT_EQ(Application::getApplication(), first);
        EXPECT_EQ(first->getModuleOwner(), &module);

        TestApplication other;
        EXPECT_FALSE(module.attachApplication(&other)) << "one application per module";
        EXPECT_EQ(module.getApplication(), first);
        EXPECT_EQ(other.getModuleOwner(), nullptr);
    }
    EXPECT_EQ(deInits, 1);
    EXPECT_EQ(AppModule::getCurrentModule(), nullptr);
}

TEST(AppModule, FailedApplicationInitIsStoppedAtOnceAndAgainWhenDestroyed)
{
    int deInits = 0;
    TestModule module;
    auto* app = new TestApplication(&deInits, false);
    EXPECT_FALSE(module.attachApplication(app));
    EXPECT_EQ(deInits, 1);
    EXPECT_EQ(module.getApplication(), app) << "kept, and owned";
    module.destroyApplication();
    EXPECT_EQ(deInits, 2);
    EXPECT_EQ(module.getApplication(), nullptr);
    module.destroyApplication();
    EXPECT_EQ(deInits, 2);
}

TEST(AppModule, StartupRunsTheModulesInitAndStopHandsBackItsResult)
{
    EXPECT_FALSE(DETAIL::AppModuleStartup::init()) << "no module";
    DETAIL::AppModuleStartup::deInit();

    struct RecordingModule : AppModule {
        bool init() override { return result; }
        void deInit(bool initResult) override { stopped.push_back(initResult); }
        bool result = false;
        std::vector<bool> stopped;
    } module;
    module.result = true;
    EXPECT_TRUE(DETAIL::AppModuleStartup::init());
    DETAIL::AppModuleStartup::deInit();
    module.result = false;
    EXPECT_FALSE(DETAIL::AppModuleStartup::init());
    DETAIL::AppModuleStartup::deInit();
    EXPECT_EQ(module.stopped, (std::vector<bool>{true, false}));
}

}  // namespace
