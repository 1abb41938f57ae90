// Whole updates of simulated controllers: the update logic, the DFU device, the IOKit stand-in,
// libusb and the emulated bus, with the program's waits moving the simulated clock.
#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"

#include "DVK2/Sleep.h"
#include "FW/VardolinStudioImages.h"
#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

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
using QV::SIM::tRequestMatch;

constexpr uint8_t kAttributesTolerant = 0x01 | 0x04 | 0x08;  // can download, tolerant, will detach
constexpr uint8_t kAttributesXmos = 0x01;                    // not tolerant, no detach: XMOS requests

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
    } cases[] = {
        {"manifestation tolerant, detaches itself", kAttributesTolerant},
        {"not tolerant, XMOS resets", kAttributesXmos},
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

        ASSERT_TRUE(logic.connectInNormalMode());
        tVersions after = versions(logic);
        EXPECT_EQ(after.installed, "33");
        EXPECT_EQ(after.installed, after.newest);
        EXPECT_FALSE(after.updateNeeded);

        bus().unplug(controller);
        ASSERT_TRUE(bus().waitSettled());
    }
}

TEST_F(UpdateEndToEnd, EachFaultEndsWithItsResult)
{
    using Adjust = std::function<void(ControllerConfig&)>;
    struct Case {
        const char* what;
        Adjust fault;
        int expected;  // the worker's result; -100: the reset into update mode failed
    } cases[] = {
        {"reset request stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x21, 0x00, 1});
         },
         -100},
        {"lost after the reset", [](ControllerConfig& c) { c.faults.lostReenumeration = 1; }, -100},
        {"late after the reset", [](ControllerConfig& c) { c.faults.lateReenumeration = 1; }, -100},
        {"another serial number after the reset",
         [](ControllerConfig& c) { c.faults.serialAfterReenumeration = "SOMEONE-ELSE"; }, -100},
        {"auxiliary block stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x41, 0x1D, 7});
         },
         -2},
        {"third download block stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0x21, 0x01, 3});
         },
         -2},
        {"status poll stalls",
         [](ControllerConfig& c) {
             c.faults.stall.push_back({0xA1, 0x03, 2});
         },
         -2},
        {"short status reply", [](ControllerConfig& c) { c.faults.getStatusLength = 4; }, -2},
        {"write error at block 5",
         [](ControllerConfig& c) {
             c.faults.statusError = QV::SIM::tStatusFault{0x03, 5};
         },
         -2},
        {"busy for ever", [](ControllerConfig& c) { c.faults.busyForever = true; }, -2},
        {"stuck in manifestation", [](ControllerConfig& c) { c.faults.stuckInManifest = true; }, -2},
        {"not tolerant and lost after manifestation",
         [](ControllerConfig& c) {
             c.dfuAttributes = kAttributesXmos;
             c.faults.lostReenumeration = 2;
         },
         -2},
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
        bus().unplug(controller);
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

TEST_F(UpdateEndToEnd, AnUpToDateAuxiliaryVersionIsStillCompared)
{
    ControllerConfig config = controllerWithImages();
    config.mainVersion = 0x0021;
    config.auxVersion = 0x66;
    plugController(config);
    VDXUpdaterUpgradeLogic logic;
    ASSERT_TRUE(logic.connectInNormalMode());
    tVersions v = versions(logic);
    EXPECT_EQ(v.installed, "33 / 0x66");
    EXPECT_EQ(v.newest, "33 / 0x67");
    EXPECT_TRUE(v.updateNeeded);
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
