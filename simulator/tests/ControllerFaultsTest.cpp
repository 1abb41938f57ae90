#include "ModelDriver.h"

#include "qvsim/model/Descriptors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;
using eKind = tBusRequest::eKind;

ControllerConfig updateMode()
{
    ControllerConfig config;
    config.initialMode = eMode::Update;
    config.transferSize = 16;
    config.pollTimeoutMs = 0;
    config.manifestationTime = 100ms;
    return config;
}

TEST(ControllerFaultsTest, StallsOnlyTheChosenOccurrenceAndReportsItInTheDfuStatus)
{
    ControllerConfig config = updateMode();
    config.faults.stall.push_back({0x21, DFU::eDnload, 3});
    ModelDriver driver(config);

    for (std::uint16_t block = 0; block < 2; ++block) {
        ASSERT_EQ(driver.dnload(block, pattern(16)).outcome, eOutcome::Answered);
        ASSERT_EQ(stateOf(driver.getStatus()), DFU::eDnloadIdle);
    }
    EXPECT_EQ(driver.dnload(2, pattern(16)).outcome, eOutcome::Stalled);
    EXPECT_EQ(driver.model->dfuState(), DFU::eDfuError);
    EXPECT_EQ(driver.model->dfuStatus(), DFU::eErrStalledPacket);

    // The 4th is answered again (once the host has cleared the error and started over).
    ASSERT_EQ(driver.request(DFU::eClrStatus).outcome, eOutcome::Answered);
    EXPECT_EQ(driver.dnload(0, pattern(16)).outcome, eOutcome::Answered);
}

TEST(ControllerFaultsTest, StallOfEveryOccurrenceLeavesOtherRequestsAlone)
{
    ControllerConfig config;
    config.faults.stall.push_back({0xC0, REQ::kCustomImageVersion, 0});
    ModelDriver driver(config);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(driver.in(0xC0, REQ::kCustomImageVersion, 0, 0x1D, 2).outcome, eOutcome::Stalled);
    EXPECT_EQ(driver.getState(), DFU::eAppIdle);
    EXPECT_EQ(driver.getStatus().outcome, eOutcome::Answered);
}

TEST(ControllerFaultsTest, NeverAnsweredRequestIsNotActedOn)
{
    ControllerConfig config = updateMode();
    config.faults.neverAnswer.push_back({0x21, DFU::eDnload, 1});
    ModelDriver driver(config);
    EXPECT_EQ(driver.dnload(0, pattern(16)).outcome, eOutcome::NeverAnswered);
    EXPECT_EQ(driver.model->dfuState(), DFU::eDfuIdle);
    EXPECT_TRUE(driver.model->receivedMainImage().empty());
    EXPECT_EQ(driver.dnload(0, pattern(16)).outcome, eOutcome::Answered);
}

TEST(ControllerFaultsTest, BusyForeverNeverFinishesABlock)
{
    ControllerConfig config = updateMode();
    config.pollTimeoutMs = 50;
    config.faults.busyForever = true;
    ModelDriver driver(config);
    ASSERT_EQ(driver.dnload(0, pattern(16)).outcome, eOutcome::Answered);
    for (int i = 0; i < 5; ++i) {
        const tControlReply status = driver.getStatus();
        EXPECT_EQ(stateOf(status), DFU::eDnBusy);
        EXPECT_EQ(pollTimeoutOf(status), 50);
        driver.clock.advance(1h);
    }
}

TEST(ControllerFaultsTest, StuckInManifestNeverLeavesIt)
{
    for (std::uint8_t attributes :
         {DFU::kCanDownload | DFU::kManifestationTolerant, DFU::kCanDownload | DFU::kWillDetach}) {
        SCOPED_TRACE(static_cast<int>(attributes));
        ControllerConfig config = updateMode();
        config.dfuAttributes = attributes;
        config.faults.stuckInManifest = true;
        ModelDriver driver(config);
        ASSERT_EQ(driver.dnload(0, pattern(16)).outcome, eOutcome::Answered);
        ASSERT_EQ(stateOf(driver.getStatus()), DFU::eDnloadIdle);
        ASSERT_EQ(driver.dnload(1, {}).outcome, eOutcome::Answered);
        ASSERT_EQ(stateOf(driver.getStatus()), DFU::eManifest);
        driver.clock.advance(24h);
        EXPECT_EQ(driver.getState(), DFU::eManifest);
        EXPECT_TRUE(driver.busRequests.empty());
    }
}

TEST(ControllerFaultsTest, ErrorStatusAtTheChosenBlockOrAtManifestation)
{
    struct tCase {
        const char* name;
        int faultBlock;
        int failingPoll;  // index of the status poll that fails: one per block, then the manifestation's
    };
    const tCase cases[] = {{"block 0", 0, 0}, {"block 2", 2, 2}, {"manifestation", tStatusFault::kAtManifestation, 3}};
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerConfig config = updateMode();
        config.faults.statusError = tStatusFault{DFU::eErrWrite, c.faultBlock};
        ModelDriver driver(config);

        int poll = 0;
        tControlReply status;
        for (std::uint16_t block = 0; block <= 3 && poll <= c.failingPoll; ++block, ++poll) {
            ASSERT_EQ(driver.dnload(block, block < 3 ? pattern(16) : Bytes{}).outcome, eOutcome::Answered);
            status = driver.getStatus();
            if (poll < c.failingPoll) {
                ASSERT_EQ(status.data[0], DFU::eOk);
            }
        }
        EXPECT_EQ(status.data[0], DFU::eErrWrite);
        EXPECT_EQ(stateOf(status), DFU::eDfuError);
        EXPECT_EQ(driver.getStatus().data[0], DFU::eErrWrite);  // it stays until cleared
        EXPECT_EQ(driver.request(DFU::eAbort).outcome, eOutcome::Stalled);
        ASSERT_EQ(driver.request(DFU::eClrStatus).outcome, eOutcome::Answered);
        EXPECT_EQ(driver.getStatus().data, (Bytes{0, 0, 0, 0, DFU::eDfuIdle, 0}));
    }
}

TEST(ControllerFaultsTest, ShortRepliesOfGetStatusAndTheDeviceDescriptor)
{
    ControllerConfig config;
    config.faults.getStatusLength = 3;
    config.faults.deviceDescriptorLength = 8;
    ModelDriver driver(config);

    EXPECT_EQ(driver.getStatus().data, (Bytes{0, 0, 0}));
    const tControlReply device = driver.in(0x80, REQ::kGetDescriptor, 0x0100, 0, 256);
    EXPECT_EQ(device.data, (Bytes{8, 1, 0x00, 0x02, 0, 0, 0, 64}));  // bLength says 8 too
    // What the bus shows in sysfs is the whole descriptor: only the request is short.
    EXPECT_EQ(driver.model->identity().descriptors[0], 18);
}

TEST(ControllerFaultsTest, StringFaults)
{
    ControllerConfig none;
    none.faults.noStrings = true;
    ModelDriver withoutStrings(none);
    const tUsbIdentity identity = withoutStrings.model->identity();
    EXPECT_EQ(Bytes(identity.descriptors.begin() + 14, identity.descriptors.begin() + 17), (Bytes{0, 0, 0}));
    EXPECT_TRUE(identity.serialNumber.empty());
    EXPECT_TRUE(identity.manufacturer.empty());

    ControllerConfig stalling;
    stalling.faults.stallStrings = true;
    ModelDriver stallingStrings(stalling);
    const tUsbIdentity indexed = stallingStrings.model->identity();
    EXPECT_EQ(Bytes(indexed.descriptors.begin() + 14, indexed.descriptors.begin() + 17), (Bytes{1, 2, 3}));

    for (ModelDriver* driver : {&withoutStrings, &stallingStrings}) {
        for (std::uint16_t index : {0, 1, 2, 3})
            EXPECT_EQ(driver->in(0x80, REQ::kGetDescriptor, 0x0300 | index, 0, 255).outcome, eOutcome::Stalled);
    }
}

TEST(ControllerFaultsTest, WithoutADfuRunTimeInterface)
{
    ControllerConfig config;
    config.faults.noDfuRunTime = true;
    ModelDriver driver(config);
    const Bytes configuration = Descriptors::configuration(config, eMode::Application);
    EXPECT_EQ(configuration[4], 2) << "still two interfaces";
    EXPECT_EQ(std::count(configuration.begin(), configuration.end(), std::uint8_t{0xFE}), 0) << "none of class DFU";
    EXPECT_EQ(configuration[2] | configuration[3] << 8, static_cast<int>(configuration.size()));

    // DFU and XMOS requests on interface 1 stall and change nothing.
    EXPECT_EQ(driver.detach().outcome, eOutcome::Stalled);
    EXPECT_EQ(driver.out(0x21, REQ::kXmosResetIntoDfu, 0, 1).outcome, eOutcome::Stalled);
    EXPECT_TRUE(driver.busRequests.empty());
    EXPECT_EQ(driver.model->mode(), eMode::Application);
    EXPECT_EQ(driver.auxVersion(), 0x66) << "vendor requests to the device still work";
}

TEST(ControllerFaultsTest, LostLateAndRenamedReenumerations)
{
    // Detach into update mode (1st re-enumeration), then back to application (2nd).
    const auto run = [](const tFaults& faults) {
        ControllerConfig config;
        config.reenumerationDelay = 1s;
        config.faults = faults;
        auto driver = std::make_unique<ModelDriver>(config);
        EXPECT_EQ(driver->detach().outcome, eOutcome::Answered);
        driver->clock.advance(40s);
        if (driver->model->onBus()) {
            EXPECT_EQ(driver->detach().outcome, eOutcome::Answered);
            driver->clock.advance(40s);
        }
        return driver;
    };

    tFaults lostSecond;
    lostSecond.lostReenumeration = 2;
    auto lost = run(lostSecond);
    EXPECT_FALSE(lost->model->onBus());
    EXPECT_EQ(lost->model->reenumerations(), 2u);
    ASSERT_EQ(lost->busRequests.size(), 3u);  // leave, arrive, leave
    EXPECT_EQ(lost->busRequests[2].kind, eKind::Leave);

    tFaults lateFirst;
    lateFirst.lateReenumeration = 1;
    lateFirst.lateReenumerationDelay = 30s;
    auto late = run(lateFirst);
    ASSERT_EQ(late->busRequests.size(), 4u);
    EXPECT_EQ(late->busRequests[1].at - late->busRequests[0].at, 30s);
    EXPECT_EQ(late->busRequests[3].at - late->busRequests[2].at, 1s);

    tFaults renamed;
    renamed.serialAfterReenumeration = "VDX2024999999";
    auto other = run(renamed);
    EXPECT_EQ(other->model->identity().serialNumber, "VDX2024999999");
    EXPECT_EQ(other->in(0x80, REQ::kGetDescriptor, 0x0303, 0, 255).data, Descriptors::string("VDX2024999999"));
}

}  // namespace
}  // namespace QV::SIM
