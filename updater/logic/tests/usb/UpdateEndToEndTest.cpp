// Whole updates of simulated controllers: the update logic, the DFU device, the IOKit stand-in,
// libusb and the emulated bus, with the program's waits moving the simulated clock.
#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"

#include "DVK2/Sleep.h"
#include "FW/VardolinStudioImages.h"
#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using QV::VDXUpdaterUpgradeLogic;
using QV::SIM::ControllerConfig;
using QV::SIM::eMode;
using QV::SIM::eOutcome;
using QV::SIM::tLoggedRequest;
using QV::SIM::tRequestMatch;

constexpr uint8_t kAttributesTolerant = 0x01 | 0x04 | 0x08;  // can download, tolerant, will detach
constexpr uint8_t kAttributesXmos = 0x01;                    // not tolerant, no detach: XMOS requests
constexpr uint8_t kAttributesTolerantXmos = 0x01 | 0x04;     // tolerant, no detach: XMOS requests

constexpr uint8_t kDetach = 0x00;
constexpr uint8_t kAbort = 0x06;
constexpr uint8_t kResetIntoDfu = 0xF2;
constexpr uint8_t kResetFromDfu = 0xF3;
constexpr uint8_t kNone = 0xFF;

// A DFU or XMOS request on the DFU interface in `mode` that the controller answered.
bool answered(const std::vector<tLoggedRequest>& log, eMode mode, uint8_t request)
{
    return std::any_of(log.begin(), log.end(), [&](const tLoggedRequest& e) {
        return e.mode == mode && e.setup[0] == 0x21 && e.setup[1] == request && e.outcome == eOutcome::Answered;
    });
}

// DFU_ABORT reached the controller in update mode (answered or stalled: it was there to refuse
// it), and the return to application mode (DFU_DETACH or the XMOS reset) was answered after it.
bool abortedAndReturned(const std::vector<tLoggedRequest>& log)
{
    const auto isUpdateRequest = [](const tLoggedRequest& e, uint8_t request) {
        return e.mode == eMode::Update && e.setup[0] == 0x21 && e.setup[1] == request &&
               e.outcome != eOutcome::Absent && e.outcome != eOutcome::NeverAnswered;
    };
    const auto abort =
        std::find_if(log.begin(), log.end(), [&](const tLoggedRequest& e) { return isUpdateRequest(e, kAbort); });
    return abort != log.end() && std::any_of(abort + 1, log.end(), [&](const tLoggedRequest& e) {
               return (isUpdateRequest(e, kDetach) || isUpdateRequest(e, kResetFromDfu)) &&
                      e.outcome == eOutcome::Answered;
           });
}

ControllerConfig controllerWithImages()
{
    ControllerConfig config;
    config.expectedMainImage.assign(QV::FW::VardolinStudio, QV::FW::VardolinStudio + QV::FW::kVardolinStudioSize);
    config.expectedAuxImage.assign(QV::FW::VardolinStudioPIC,
                                   QV::FW::VardolinStudioPIC + QV::FW::kVardolinStudioPICSize);
    return config;
}

class UpdateEndToEnd : public QV::SIM::SimulatedBusTest {
protected:
    void SetUp() override
    {
        SimulatedBusTest::SetUp();
        QV::DVK2::setSleepFunction(
            [this](std::chrono::nanoseconds d) { advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d)); });
    }

    void TearDown() override
    {
        QV::DVK2::setSleepFunction({});
        SimulatedBusTest::TearDown();
    }

    struct tVersions {
        std::string installed;
        std::string newest;
        bool updateNeeded = false;
        std::string serial;
    };

    static tVersions versions(VDXUpdaterUpgradeLogic& logic)
    {
        tVersions v;
        QV::DVK2::USBDeviceInfo info;
        logic.getDeviceInfo(info, v.installed, v.newest, v.updateNeeded);
        v.serial = info.serialNumber;
        return v;
    }

    // Waits in real time for the worker to write its result and end: only the worker moves the
    // simulated clock meanwhile. The deadline is far beyond what a loaded machine needs.
    static int waitForResult(VDXUpdaterUpgradeLogic& logic, VDXUpdaterUpgradeLogic::UpdateResult& result)
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (result.load() == VDXUpdaterUpgradeLogic::eUpdateRunning && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        EXPECT_NE(result.load(), VDXUpdaterUpgradeLogic::eUpdateRunning) << "the worker did not finish in time";
        while (logic.isUpdateRunning() && std::chrono::steady_clock::now() < deadline) {
        }
        return result.load();
    }

    // The wizard's path: connect, reset, flash, poll; returns the worker's result, or -100 when the
    // reset into update mode failed.
    static int update(VDXUpdaterUpgradeLogic& logic)
    {
        EXPECT_TRUE(logic.connectInNormalMode());
        if (!logic.resetIntoUpdateMode())
            return -100;
        VDXUpdaterUpgradeLogic::UpdateResult result{0};
        if (!logic.performUpdate(result))
            return result.load();
        return waitForResult(logic, result);
    }
};

TEST_F(UpdateEndToEnd, ACompleteUpdateOfEachKindOfController)
{
    struct Case {
        const char* what;
        uint8_t attributes;
        uint8_t reset;       // the request that sent it into update mode
        uint8_t returnedBy;  // the request that brought it back, kNone: it restarted by itself
    } cases[] = {
        {"manifestation tolerant, detaches itself", kAttributesTolerant, kDetach, kDetach},
        {"not tolerant, XMOS resets", kAttributesXmos, kResetIntoDfu, kNone},
        {"manifestation tolerant, XMOS resets", kAttributesTolerantXmos, kResetIntoDfu, kResetFromDfu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerConfig config = controllerWithImages();
        config.dfuAttributes = c.attributes;
        auto controller = plugController(config);
        VDXUpdaterUpgradeLogic logic;

        ASSERT_TRUE(logic.connectInNormalMode());
        tVersions before = versions(logic);
        EXPECT_EQ(before.installed, "32");
        EXPECT_EQ(before.newest, "33");
        EXPECT_TRUE(before.updateNeeded);
        EXPECT_EQ(before.serial, "VDX2024000001");

        EXPECT_EQ(update(logic), VDXUpdaterUpgradeLogic::eUpdateDone);
        EXPECT_EQ(controller->receivedAuxImage(), config.expectedAuxImage);
        EXPECT_EQ(controller->receivedMainImage(), config.expectedMainImage);
        const std::vector<tLoggedRequest> log = controller->requestLog();
        EXPECT_TRUE(answered(log, eMode::Application, c.reset));
        if (c.returnedBy != kNone) {
            EXPECT_TRUE(answered(log, eMode::Update, c.returnedBy));
        }
        EXPECT_FALSE(answered(log, eMode::Update, kAbort));
        EXPECT_EQ(controller->mode(), eMode::Application);

        ASSERT_TRUE(logic.connectInNormalMode());
        tVersions after = versions(logic);
        EXPECT_EQ(after.installed, "33");
        EXPECT_EQ(after.installed, after.newest);
        EXPECT_FALSE(after.updateNeeded);

        bus().unplug(controller);
        ASSERT_TRUE(bus().waitSettled());
    }
}

// Each failure ends with its result, and leaves the controller where it should be: a worker that
// failed has sent DFU_ABORT and returned the controller to application mode, with the versions of
// what it completed (the auxiliary image is complete before the main one starts).
TEST_F(UpdateEndToEnd, EachFaultEndsWithItsResult)
{
    using Adjust = std::function<void(ControllerConfig&)>;
    struct Case {
        const char* what;
        Adjust fault;
        int expected;  // the worker's result; -100: the reset into update mode failed
        bool onBus;    // at the end, in `mode`
        eMode mode;
        uint16_t mainVersion;
        uint16_t auxVersion;
        bool abortedAndReturned;
    } cases[] = {
        {"reset request stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x21, 0x00, 1});
         },
         -100, true, eMode::Application, 0x20, 0x66, false},
        {"lost after the reset", [](ControllerConfig& c) { c.faults.lostReenumeration = 1; }, -100, false,
         eMode::Update, 0x20, 0x66, false},
        {"late after the reset", [](ControllerConfig& c) { c.faults.lateReenumeration = 1; }, -100, false,
         eMode::Update, 0x20, 0x66, false},
        {"another serial number after the reset",
         [](ControllerConfig& c) { c.faults.serialAfterReenumeration = "SOMEONE-ELSE"; }, -100, true, eMode::Update,
         0x20, 0x66, false},
        {"auxiliary block stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x41, 0x1D, 7});
         },
         -2, true, eMode::Application, 0x20, 0x66, true},
        {"third download block stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x21, 0x01, 3});
         },
         -2, true, eMode::Application, 0x20, 0x67, true},
        {"third download block stalls, XMOS resets",
         [](ControllerConfig& c) {
             c.dfuAttributes = kAttributesXmos;
             c.faults.stall.push_back({0x21, 0x01, 3});
         },
         -2, true, eMode::Application, 0x20, 0x67, true},
        {"status poll stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0xA1, 0x03, 2});
         },
         -2, true, eMode::Application, 0x20, 0x67, true},
        {"short status reply", [](ControllerConfig& c) { c.faults.getStatusLength = 4; }, -2, true, eMode::Application,
         0x20, 0x67, true},
        {"write error at block 5",
         [](ControllerConfig& c) {
             c.faults.statusError = QV::SIM::tStatusFault{0x03, 5};
         },
         -2, true, eMode::Application, 0x20, 0x67, true},
        {"busy for ever", [](ControllerConfig& c) { c.faults.busyForever = true; }, -2, true, eMode::Application, 0x20,
         0x67, true},
        // The whole image arrived: the controller takes it at its restart even though the host gave up.
        {"stuck in manifestation", [](ControllerConfig& c) { c.faults.stuckInManifest = true; }, -2, true,
         eMode::Application, 0x21, 0x67, true},
        // Gone for good: neither the abort nor the return can reach it.
        {"not tolerant and lost after manifestation",
         [](ControllerConfig& c) {
             c.dfuAttributes = kAttributesXmos;
             c.faults.lostReenumeration = 2;
         },
         -2, false, eMode::Application, 0x20, 0x67, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerConfig config = controllerWithImages();
        c.fault(config);
        auto controller = plugController(config);
        {
            VDXUpdaterUpgradeLogic logic;
            EXPECT_EQ(update(logic), c.expected);
            if (c.expected == -100) {
                VDXUpdaterUpgradeLogic::UpdateResult result{0};
                EXPECT_FALSE(logic.performUpdate(result)) << "no update without update mode";
                EXPECT_EQ(result.load(), -1);
            }
        }
        // The worker's final wait has let every re-enumeration due happen.
        EXPECT_EQ(controller->onBus(), c.onBus);
        if (c.onBus) {
            EXPECT_EQ(controller->mode(), c.mode);
        }
        EXPECT_EQ(controller->mainVersion(), c.mainVersion);
        EXPECT_EQ(controller->auxVersion(), c.auxVersion);
        EXPECT_EQ(abortedAndReturned(controller->requestLog()), c.abortedAndReturned);
        bus().unplug(controller);
        ASSERT_TRUE(bus().waitSettled());
    }
}

// Only the standard requests of a scan reached the controller: no reset, no write, no version read.
bool onlyScanned(const std::vector<tLoggedRequest>& log)
{
    return std::all_of(log.begin(), log.end(), [](const tLoggedRequest& e) { return (e.setup[0] & 0x60) == 0; });
}

// Two controllers on the bus: the one found first is reset, written, returned and checked, and the
// check reads that one, also when the other one would pass it.
TEST_F(UpdateEndToEnd, WithTwoControllersOnlyThePickedOneIsUpdatedAndChecked)
{
    struct Case {
        const char* what;
        uint16_t pickedComesBackAt;  // the main version the picked controller's update brings
        uint16_t otherMain, otherAux;
        const char* installedAfter;
    } cases[] = {
        {"the picked one is updated", 0x21, 0x20, 0x66, "33"},
        {"the picked one comes back at 32 beside an up-to-date one", 0x20, 0x21, 0x67, "32"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ControllerConfig pickedConfig = controllerWithImages();
        pickedConfig.updatedMainVersion = c.pickedComesBackAt;
        auto picked = plugController(pickedConfig);
        VDXUpdaterUpgradeLogic logic;
        ASSERT_TRUE(logic.connectInNormalMode());

        // The other one arrives once the first is picked, so the bus order cannot decide.
        ControllerConfig otherConfig = controllerWithImages();
        otherConfig.serialNumber = "VDX2024000002";
        otherConfig.mainVersion = c.otherMain;
        otherConfig.auxVersion = c.otherAux;
        auto other = plugController(otherConfig);

        EXPECT_EQ(update(logic), VDXUpdaterUpgradeLogic::eUpdateDone);
        ASSERT_TRUE(logic.connectInNormalMode());
        const tVersions after = versions(logic);
        EXPECT_EQ(after.serial, "VDX2024000001");
        EXPECT_EQ(after.installed, c.installedAfter);
        EXPECT_EQ(picked->reenumerations(), 2u);

        EXPECT_EQ(other->reenumerations(), 0u);
        EXPECT_EQ(other->mainVersion(), c.otherMain);
        EXPECT_EQ(other->auxVersion(), c.otherAux);
        EXPECT_TRUE(onlyScanned(other->requestLog()));

        bus().unplug(picked);
        bus().unplug(other);
        ASSERT_TRUE(bus().waitSettled());
    }
}

TEST_F(UpdateEndToEnd, WrongImagesAreWrittenButNotVerified)
{
    ControllerConfig config = controllerWithImages();
    config.expectedMainImage[100] ^= 0xFF;  // the controller would accept other bytes only
    plugController(config);
    VDXUpdaterUpgradeLogic logic;

    EXPECT_EQ(update(logic), VDXUpdaterUpgradeLogic::eUpdateDone);
    ASSERT_TRUE(logic.connectInNormalMode());
    tVersions after = versions(logic);
    EXPECT_EQ(after.installed, "32");
    EXPECT_NE(after.installed, after.newest);
}

// The decision as the wizard sees it, read from the controller: equal versions need no update
// and read the same, an older auxiliary image on the current firmware does.
TEST_F(UpdateEndToEnd, TheUpdateDecisionComparesBothVersions)
{
    struct Case {
        uint16_t mainVersion;
        uint16_t auxVersion;
        const char* installed;
        const char* newest;
        bool updateNeeded;
    } cases[] = {
        {0x0021, 0x67, "33", "33", false},
        {0x0021, 0x66, "33 / 0x66", "33 / 0x67", true},
        {0x0021, 0x68, "33 / 0x68", "33 / 0x67", false},
        {0x0020, 0x67, "32", "33", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mainVersion << " / " << c.auxVersion);
        ControllerConfig config = controllerWithImages();
        config.mainVersion = c.mainVersion;
        config.auxVersion = c.auxVersion;
        auto controller = plugController(config);
        {
            VDXUpdaterUpgradeLogic logic;
            ASSERT_TRUE(logic.connectInNormalMode());
            tVersions v = versions(logic);
            EXPECT_EQ(v.installed, c.installed);
            EXPECT_EQ(v.newest, c.newest);
            EXPECT_EQ(v.updateNeeded, c.updateNeeded);
            EXPECT_EQ(v.installed == v.newest, !c.updateNeeded && c.auxVersion == 0x67)
                << "the wizard's success test: the texts are equal exactly for the newest versions";
        }
        bus().unplug(controller);
        ASSERT_TRUE(bus().waitSettled());
    }
}

TEST_F(UpdateEndToEnd, QuittingDuringAnUpdateLetsTheWorkerEndFirst)
{
    auto controller = plugController(controllerWithImages());

    // The worker's first wait holds it until the test has asked it to stop.
    std::mutex lock;
    std::condition_variable changed;
    bool workerHeld = false, released = false;
    QV::DVK2::setSleepFunction([&](std::chrono::nanoseconds d) {
        {
            std::unique_lock<std::mutex> guard(lock);
            if (!released) {
                workerHeld = true;
                changed.notify_all();
                changed.wait(guard, [&] { return released; });
            }
        }
        advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d));
    });

    VDXUpdaterUpgradeLogic::UpdateResult result{0};
    {
        VDXUpdaterUpgradeLogic logic;
        ASSERT_TRUE(logic.connectInNormalMode());
        {
            std::lock_guard<std::mutex> guard(lock);
            released = true;  // the main thread's own waits (the reset) pass
        }
        ASSERT_TRUE(logic.resetIntoUpdateMode());
        {
            std::lock_guard<std::mutex> guard(lock);
            released = false;
        }
        ASSERT_TRUE(logic.performUpdate(result));
        {
            std::unique_lock<std::mutex> guard(lock);
            ASSERT_TRUE(changed.wait_for(guard, 30s, [&] { return workerHeld; }));
        }
        EXPECT_TRUE(logic.isUpdateRunning());
        logic.applicationCloseRequest();  // gives up waiting and asks the worker to stop
        {
            std::lock_guard<std::mutex> guard(lock);
            released = true;
        }
        changed.notify_all();
    }  // the destructor joins the worker: ASan reports any use of the logic after this point

    EXPECT_EQ(result.load(), 0) << "an interrupted worker does not write its result";
    EXPECT_EQ(controller->receivedMainImage().size(), QV::FW::kVardolinStudioSize)
        << "the transfers before the final wait are not cut short";
}

}  // namespace
