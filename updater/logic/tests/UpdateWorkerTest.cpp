// The update worker: what it writes and in which order, its result, and its life against the
// logic's: interruption, destruction while it runs, and a thread that cannot be started.
#include "FakeController.h"

#include "FW/VardolinStudioImages.h"
#include "UpdateLogic/VDXUpdaterUpgradeLogic.h"

#include <gtest/gtest.h>

#include <boost/thread/thread.hpp>

#include <future>

namespace QV {
namespace {

using Testing::FakeController;
using Testing::SleepOverride;
using Result = VDXUpdaterUpgradeLogic::UpdateResult;

constexpr std::chrono::seconds kSettlingWait(5);
const std::vector<uint8_t> kAuxiliaryImage(FW::VardolinStudioPIC, FW::VardolinStudioPIC + FW::kVardolinStudioPICSize);
const std::vector<uint8_t> kMainImage(FW::VardolinStudio, FW::VardolinStudio + FW::kVardolinStudioSize);

// Waits for the worker through the logic's own question (each call waits up to 500 ms).
bool workerEnds(VDXUpdaterUpgradeLogic& logic)
{
    for (int i = 0; i < 100; ++i) {
        if (!logic.isUpdateRunning())
            return true;
    }
    return false;
}

struct Fixture : testing::Test {
    Fixture()
    {
        auto owned = std::make_unique<FakeController>(&deviceDestroyed);
        device = owned.get();
        device->plugIn(DVK2::DFUDevice::eModeUpdate, 32);
        logic = std::make_unique<VDXUpdaterUpgradeLogic>(std::move(owned));
    }

    bool deviceDestroyed = false;
    FakeController* device;
    std::unique_ptr<VDXUpdaterUpgradeLogic> logic;
    Result result{99};
};

using UpdateWorker = Fixture;

TEST_F(UpdateWorker, WritesBothImagesThenReturnsAndWaits)
{
    std::vector<std::chrono::nanoseconds> waits;
    int resultDuringSettling = 99;
    SleepOverride sleep([&](std::chrono::nanoseconds d) {
        waits.push_back(d);
        if (d == kSettlingWait)
            resultDuringSettling = result.load();
    });

    ASSERT_TRUE(logic->performUpdate(result));
    ASSERT_TRUE(workerEnds(*logic));
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateDone);
    EXPECT_EQ(resultDuringSettling, VDXUpdaterUpgradeLogic::eUpdateRunning) << "written only after the wait";
    EXPECT_EQ(waits, std::vector<std::chrono::nanoseconds>{kSettlingWait});

    EXPECT_EQ(device->customImages[1], kAuxiliaryImage);
    EXPECT_EQ(device->customImages.size(), 1u);
    EXPECT_EQ(device->mainImage, kMainImage);
    EXPECT_EQ(device->count(0x21, 0x06), 0u) << "no abort";
    // The auxiliary image first, the main image next, the detach back to application mode last.
    const std::vector<Testing::tSetup> sent = device->requests();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front().bmRequestType, 0x41);
    EXPECT_EQ(sent.front().bRequest, 0x1D);
    EXPECT_EQ(sent.back().bmRequestType, 0x21);
    EXPECT_EQ(sent.back().bRequest, 0x00);
    EXPECT_FALSE(device->isConnected());
    EXPECT_FALSE(logic->isUpdateRunning()) << "and stays so";
}

struct tFailureCase {
    const char* name;
    std::function<bool(const Testing::tSetup&)> fail;
    bool mainImageSent;
};

void PrintTo(const tFailureCase& c, std::ostream* out) { *out << c.name; }

class UpdateWorkerFailure : public Fixture, public testing::WithParamInterface<tFailureCase> {};

TEST_P(UpdateWorkerFailure, AbortsAndStillReturnsToApplicationMode)
{
    const tFailureCase& c = GetParam();
    std::vector<std::chrono::nanoseconds> waits;
    SleepOverride sleep([&](std::chrono::nanoseconds d) { waits.push_back(d); });
    device->failRequest = c.fail;

    ASSERT_TRUE(logic->performUpdate(result));
    ASSERT_TRUE(workerEnds(*logic));
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateWriteFailed);
    EXPECT_EQ(device->count(0x21, 0x01) != 0, c.mainImageSent);
    EXPECT_EQ(device->count(0x21, 0x06), 1u) << "DFU_ABORT";
    EXPECT_EQ(device->requests().back().bRequest, 0x00) << "the detach comes last";
    EXPECT_FALSE(device->isConnected());
    EXPECT_EQ(waits, std::vector<std::chrono::nanoseconds>{kSettlingWait});
}

INSTANTIATE_TEST_SUITE_P(
    Steps, UpdateWorkerFailure,
    testing::Values(tFailureCase{"AuxiliaryBlock",
                                 [](const Testing::tSetup& s) { return s.bmRequestType == 0x41 && s.wValue == 17; },
                                 false},
                    tFailureCase{"MainImageBlock",
                                 [](const Testing::tSetup& s) { return s.bRequest == 0x01 && s.wValue == 3; }, true},
                    tFailureCase{"MainImageStatus", [](const Testing::tSetup& s) { return s.bRequest == 0x03; }, true}),
    [](const testing::TestParamInfo<tFailureCase>& info) { return info.param.name; });

TEST_F(UpdateWorker, NoUpdateOutsideUpdateMode)
{
    EXPECT_FALSE(logic->isUpdateRunning()) << "before any update";

    device->plugIn(DVK2::DFUDevice::eModeApplication, 32);
    EXPECT_FALSE(logic->performUpdate(result));
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateNotInUpdateMode);
    device->disconnect();
    device->plugIn(DVK2::DFUDevice::eModeUpdate, 32);
    device->disconnect();
    result = 99;
    EXPECT_FALSE(logic->performUpdate(result));
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateNotInUpdateMode);

    EXPECT_FALSE(logic->isUpdateRunning());
    EXPECT_TRUE(device->requests().empty());
}

TEST_F(UpdateWorker, ThreadThatCannotStartAnswersMinusOne)
{
    struct NoThreads : VDXUpdaterUpgradeLogic {
        using VDXUpdaterUpgradeLogic::VDXUpdaterUpgradeLogic;
        boost::thread startWorker(boost::function<void()>) override
        {
            throw boost::thread_resource_error(EAGAIN, "no threads left");
        }
    };
    bool destroyed = false;
    auto owned = std::make_unique<FakeController>(&destroyed);
    FakeController& controller = *owned;
    controller.plugIn(DVK2::DFUDevice::eModeUpdate, 32);
    {
        NoThreads noThreads(std::move(owned));
        EXPECT_FALSE(noThreads.performUpdate(result));
        EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateNotInUpdateMode);
        EXPECT_FALSE(noThreads.isUpdateRunning());
        EXPECT_TRUE(controller.requests().empty());
    }
    EXPECT_TRUE(destroyed);
}

TEST_F(UpdateWorker, SecondUpdateWhileTheFirstRunsIsRefused)
{
    SleepOverride sleep([](std::chrono::nanoseconds) {});
    std::promise<void> reached, release;
    std::shared_future<void> released = release.get_future().share();
    device->onRequest = [&, first = true](const Testing::tSetup&) mutable {
        if (std::exchange(first, false)) {
            reached.set_value();
            released.wait_for(std::chrono::seconds(20));
        }
    };
    ASSERT_TRUE(logic->performUpdate(result));
    reached.get_future().wait();

    Result second{99};
    EXPECT_FALSE(logic->performUpdate(second)) << "the device belongs to the running worker";
    EXPECT_EQ(second.load(), VDXUpdaterUpgradeLogic::eUpdateNotInUpdateMode);
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateRunning);

    release.set_value();
    ASSERT_TRUE(workerEnds(*logic));
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateDone);
    EXPECT_EQ(second.load(), VDXUpdaterUpgradeLogic::eUpdateNotInUpdateMode);
    EXPECT_EQ(device->mainImage, kMainImage) << "one worker, one download";
}

// Quitting while the worker is in a transfer: the transfers run to their end, the worker stops at
// its final wait (also under an injected sleep) and the caller's integer is no longer written.
TEST_F(UpdateWorker, CloseRequestStopsTheWorkerBeforeItsWait)
{
    std::vector<std::chrono::nanoseconds> waits;
    std::mutex waitsLock;
    SleepOverride sleep([&](std::chrono::nanoseconds d) {
        std::lock_guard<std::mutex> lock(waitsLock);
        waits.push_back(d);
    });
    std::promise<void> reached, release;
    std::shared_future<void> released = release.get_future().share();
    device->onRequest = [&](const Testing::tSetup& s) {
        if (s.bmRequestType == 0x21 && s.bRequest == 0x00) {  // the detach after the images
            reached.set_value();
            released.wait_for(std::chrono::seconds(20));
        }
    };
    ASSERT_TRUE(logic->performUpdate(result));
    reached.get_future().wait();

    logic->applicationCloseRequest();  // 500 ms, then the interruption request
    release.set_value();
    ASSERT_TRUE(workerEnds(*logic));

    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateRunning) << "an interrupted worker writes no result";
    EXPECT_EQ(device->mainImage, kMainImage) << "the transfers were not cut short";
    EXPECT_FALSE(device->isConnected()) << "the disconnect precedes the wait";
    std::lock_guard<std::mutex> lock(waitsLock);
    EXPECT_TRUE(waits.empty()) << "the interruption is seen before the settling wait";
}

// The device's poll waits sleep through Boost, interruption points of their own: a close request
// during the download must still let every transfer finish.
TEST_F(UpdateWorker, CloseRequestDuringTheDownloadLetsTheTransfersFinish)
{
    std::atomic<int> pollWaits{0}, settlingWaits{0};
    SleepOverride sleep([&](std::chrono::nanoseconds d) {
        (d == kSettlingWait ? settlingWaits : pollWaits)++;
        boost::this_thread::sleep_for(boost::chrono::microseconds(100));  // interruptible, as in production
    });
    device->busyPollMs = 1;
    std::promise<void> reached, release;
    std::shared_future<void> released = release.get_future().share();
    device->onRequest = [&, first = true](const Testing::tSetup& s) mutable {
        if (s.bmRequestType == 0x21 && s.bRequest == 0x01 && std::exchange(first, false)) {
            reached.set_value();
            released.wait_for(std::chrono::seconds(20));
        }
    };
    ASSERT_TRUE(logic->performUpdate(result));
    reached.get_future().wait();

    logic->applicationCloseRequest();
    release.set_value();
    ASSERT_TRUE(workerEnds(*logic));

    EXPECT_EQ(device->mainImage, kMainImage);
    EXPECT_EQ(pollWaits.load(), 15) << "one poll wait per block of the main image";
    EXPECT_EQ(device->requests().back().bRequest, 0x00) << "back to application mode";
    EXPECT_FALSE(device->isConnected());
    EXPECT_EQ(settlingWaits.load(), 0);
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateRunning);
}

// Destroying the logic while the worker waits: the destructor interrupts and joins it, so neither
// the logic nor its device is used after it is gone.
TEST_F(UpdateWorker, DestructorInterruptsAndJoinsTheWorker)
{
    std::promise<void> reached;
    std::atomic<bool> interrupted{false};
    SleepOverride sleep([&](std::chrono::nanoseconds d) {
        if (d != kSettlingWait)
            return;
        reached.set_value();
        try {
            boost::this_thread::sleep_for(boost::chrono::seconds(60));  // a real, interruptible wait
        } catch (boost::thread_interrupted const&) {
            interrupted = true;
            throw;
        }
    });
    ASSERT_TRUE(logic->performUpdate(result));
    reached.get_future().wait();

    logic.reset();
    EXPECT_TRUE(interrupted);
    EXPECT_TRUE(deviceDestroyed);
    EXPECT_EQ(result.load(), VDXUpdaterUpgradeLogic::eUpdateRunning);
}

}  // namespace
}  // namespace QV
