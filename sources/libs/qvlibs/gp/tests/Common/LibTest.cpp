#include "GP/Application.h"
#include "GP/Assertion.h"
#include "GP/Authentication.h"
#include "GP/CriticalSection.h"
#include "GP/DebugTrace.h"
#include "GP/DeviceNotification.h"
#include "GP/FileTypeManager.h"
#include "GP/Lib.h"
#include "GP/Registry.h"
#include "GP/TLS.h"
#include "GP/VolumeManager.h"

#include "Common/LibStartSteps.h"
#include "ReportingAlertRunner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using QV::GP::Lib;

constexpr QV::GP::FileTypeMacMagic kCreator = QV::GP::fourCharCode("QVDX");
constexpr const char* kName = "VARDOLIN STUDIO UPDATER";

// Whether each part of the core is running.
std::vector<bool> partsRunning()
{
    return {
        Lib::isInitialized(),
        QV::GP::TLS::isInitialized(),
        QV::GP::FileTypeManager::getStdType(QV::GP::FileTypeManager::eStdFileTypeUnknown) != nullptr,
        QV::GP::DeviceNotification::isInitialized(),
        QV::GP::VolumeManager::isInitialized(),
        QV::GP::Authentication::isInited(),
    };
}

bool lockPoolRunning()
{
    try {
        QV::GP::CriticalSection::destroy(QV::GP::CriticalSection::create());
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Lib::init with one of its steps failing: the real steps before it run, that step refuses or
// throws, and what each part looked like at that moment is kept.
class FailingStep {
public:
    FailingStep(std::size_t index, bool bThrow)
        : m_steps(std::begin(QV::GP::DETAIL::kLibStartSteps), std::end(QV::GP::DETAIL::kLibStartSteps))
    {
        m_steps.at(index).pfnStart = bThrow ? &throwing : &refusing;
        QV::GP::DETAIL::g_libStartSteps = {m_steps.data(), m_steps.size()};
    }
    ~FailingStep()
    {
        QV::GP::DETAIL::g_libStartSteps = {QV::GP::DETAIL::kLibStartSteps, std::size(QV::GP::DETAIL::kLibStartSteps)};
    }
    FailingStep(const FailingStep&) = delete;
    FailingStep& operator=(const FailingStep&) = delete;

    // TLS, lock pool, file types, device notifications, volumes.
    static std::vector<bool> running()
    {
        return {QV::GP::TLS::isInitialized(), lockPoolRunning(),
                QV::GP::FileTypeManager::getStdType(QV::GP::FileTypeManager::eStdFileTypeUnknown) != nullptr,
                QV::GP::DeviceNotification::isInitialized(), QV::GP::VolumeManager::isInitialized()};
    }
    static inline std::vector<bool> s_runningAtFailure;

private:
    static bool refusing()
    {
        s_runningAtFailure = running();
        return false;
    }
    static bool throwing()
    {
        s_runningAtFailure = running();
        throw std::runtime_error("a part failed to start");
    }

    std::vector<QV::GP::DETAIL::tLibStartStep> m_steps;
};

class RegistryProbe final : public QV::GP::Registry::Impl {
public:
    explicit RegistryProbe(bool* shutDown) : m_shutDown(shutDown) {}
    bool get(const char*, std::vector<std::string>&, QV::GP::Registry::eGetMode) override { return false; }
    void shutdown() override { *m_shutDown = true; }

private:
    bool* m_shutDown;
};

TEST(Lib, StartsAndStopsAsOneLibrary)
{
    ASSERT_TRUE(Lib::init(kCreator, kName, 0x2030000, 69));
    EXPECT_EQ(partsRunning(), std::vector<bool>(6, true));
    EXPECT_STREQ(QV::GP::Application::s_pAppName, kName);
    EXPECT_EQ(QV::GP::Application::s_appSignature, kCreator);
    QV::GP::CriticalSection* lock = QV::GP::CriticalSection::create();  // the lock pool is there
    ASSERT_NE(lock, nullptr);
    QV::GP::CriticalSection::destroy(lock);
    EXPECT_FALSE(QV::GP::VolumeManager::getVolumes().empty());
    Lib::checkVersionAndFlavour(0x2030000, 69);  // what the UI layer and the toolkit ask

    bool registryShutDown = false;
    QV::GP::Registry::install(std::make_unique<RegistryProbe>(&registryShutDown));
    QV::GP::DebugTrace::addGroup("dev");
    QV::GP::DebugTrace::setMode(QV::GP::DebugTrace::eModeListed);
    Lib::deInit();
    EXPECT_EQ(partsRunning(), std::vector<bool>(6, false));
    EXPECT_TRUE(registryShutDown);
    EXPECT_FALSE(QV::GP::Registry::isInstalled());
    EXPECT_FALSE(QV::GP::DebugTrace::isGroupEnabled("dev"));  // the group list is emptied
    EXPECT_THROW(QV::GP::CriticalSection::create(), std::bad_alloc);
    QV::GP::DebugTrace::setMode(QV::GP::DebugTrace::eModeOff);

    // Started again after a stop; a null name keeps the one there is.
    ASSERT_TRUE(Lib::init(QV::GP::fourCharCode("ABCD"), nullptr, 0x2030000, 69));
    EXPECT_EQ(partsRunning(), std::vector<bool>(6, true));
    EXPECT_STREQ(QV::GP::Application::s_pAppName, kName);
    EXPECT_EQ(QV::GP::Application::s_appSignature, QV::GP::fourCharCode("ABCD"));
    Lib::deInit();
    Lib::deInit();  // stopping what is stopped does nothing
    EXPECT_EQ(partsRunning(), std::vector<bool>(6, false));
}

// A start that fails halfway stops every part it had started, whichever step fails and however;
// the core can then be started for real.
TEST(Lib, AStartThatFailsHalfwayIsRolledBack)
{
    struct Case {
        std::size_t step;
        std::vector<bool> runningAtFailure;  // TLS, lock pool, file types, notifications, volumes
    } const cases[] = {
        {0, {false, false, false, false, false}},  // thread-local storage
        {1, {true, false, false, false, false}},   // system information
        {2, {true, false, false, false, false}},   // the lock pool
        {3, {true, true, false, false, false}},    // the file types
        {4, {true, true, true, false, false}},     // the device notifications
        {5, {true, true, true, true, false}},      // the volumes
    };
    ASSERT_EQ(std::size(cases), std::size(QV::GP::DETAIL::kLibStartSteps));
    for (const Case& c : cases) {
        for (const bool bThrow : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << QV::GP::DETAIL::kLibStartSteps[c.step].name << (bThrow ? " throws" : " refuses"));
            {
                FailingStep failing(c.step, bThrow);
                FailingStep::s_runningAtFailure.clear();
                EXPECT_FALSE(Lib::init(kCreator, kName, 0x2030000, 69));
                EXPECT_EQ(FailingStep::s_runningAtFailure, c.runningAtFailure);
            }
            EXPECT_EQ(partsRunning(), std::vector<bool>(6, false));
            EXPECT_FALSE(lockPoolRunning());
        }
    }
    ASSERT_TRUE(Lib::init(kCreator, kName, 0x2030000, 69));
    EXPECT_EQ(partsRunning(), std::vector<bool>(6, true));
    Lib::deInit();
}

class LibChecks : public testing::Test {
protected:
    void SetUp() override { QV::GP::Assertion::s_bThrowException = true; }
    void TearDown() override
    {
        QV::GP::Assertion::s_bThrowException = false;
        Lib::deInit();
    }

    // The line of the failed check, 0 when the check passed.
    template <class Check>
    static int failedLine(Check&& check)
    {
        try {
            check();
        } catch (const QV::GP::Assertion::exception& e) {
            EXPECT_STREQ(e.file(), "../sources/libs/qvlibs/gp/src/Common/Init_GP");
            EXPECT_EQ(e.text(), nullptr);
            return e.line();
        }
        return 0;
    }
};

TEST_F(LibChecks, VersionAndFlavourMustMatchExactly)
{
    struct Case {
        int version, flavour;
        int initLine, checkLine;  // the failed check of init and of checkVersionAndFlavour
    } cases[] = {
        {0x2030000, 69, 0, 0},
        {0x2030001, 69, 205, 205},
        {0x4010000, 69, 205, 205},
        {0x2030000, 70, 208, 208},
        {0x2030001, 70, 205, 205},            // the version is looked at first
        {0x2030000, 69 + 0x10000, 211, 211},  // the low 16 bits pass, the high ones do not
        {0x2030000, 69 - 0x10000, 211, 211},  // negative: high bits set too
        {0x2030000, 69 + 0x20000, 211, 211},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failedLine([&] { Lib::checkVersionAndFlavour(c.version, c.flavour); }), c.checkLine)
            << std::hex << c.version << " " << c.flavour;
        EXPECT_EQ(failedLine([&] { Lib::init(kCreator, kName, c.version, c.flavour); }), c.initLine)
            << std::hex << c.version << " " << c.flavour;
        EXPECT_EQ(Lib::isInitialized(), c.initLine == 0);
        Lib::deInit();
    }
}

TEST_F(LibChecks, ASecondStartFails)
{
    ASSERT_TRUE(Lib::init(kCreator, kName, 0x2030000, 69));
    EXPECT_EQ(failedLine([&] { Lib::init(kCreator, kName, 0x2030000, 69); }), 62);
    EXPECT_TRUE(Lib::isInitialized());
}

// Without throwing: the check's report, then the end of the process with status 1.
class LibDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(LibDeathTest, ASecondStartEndsTheProcess)
{
    EXPECT_EXIT(
        {
            QV::TEST::ReportingAlertRunner::install();
            Lib::init(kCreator, kName, 0x2030000, 69);
            Lib::init(kCreator, kName, 0x2030000, 69);
        },
        testing::ExitedWithCode(1),
        "\\[VARDOLIN STUDIO UPDATER\\|Error \\.\\./sources/libs/qvlibs/gp/src/Common/Init_GP:62\\|OK\\]");
}

TEST_F(LibDeathTest, FlavourWithHighBitsEndsTheProcess)
{
    EXPECT_EXIT(
        {
            QV::TEST::ReportingAlertRunner::install();
            Lib::init(kCreator, kName, 0x2030000, 69 + 0x10000);
        },
        testing::ExitedWithCode(1), "\\[Orvendal\\|Error \\.\\./sources/libs/qvlibs/gp/src/Common/Init_GP:211\\|OK\\]");
}

}  // namespace
