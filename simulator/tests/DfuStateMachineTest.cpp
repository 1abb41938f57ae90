#include "ModelDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;
using eKind = tBusRequest::eKind;

constexpr std::uint16_t kTransferSize = 16;
constexpr std::uint32_t kPollMs = 10;

ControllerConfig updateMode(std::uint8_t attributes = DFU::kCanDownload | DFU::kManifestationTolerant |
                                                      DFU::kWillDetach)
{
    ControllerConfig config;
    config.initialMode = eMode::Update;
    config.dfuAttributes = attributes;
    config.transferSize = kTransferSize;
    config.pollTimeoutMs = kPollMs;
    config.manifestationTime = 100ms;
    config.reenumerationDelay = 1s;
    return config;
}

// ---- the DFU mode table: every state against every request

enum eStart {
    eIdle,
    eDnloadSync,
    eDnBusy,
    eDnloadIdle,
    eManifestSync,
    eManifest,
    eError,
    eStartCount
};
enum eEvent {
    eData,
    eEmpty,
    eStatus,
    eState,
    eClear,
    eAbort,
    eUpload,
    eEventCount
};

const char* const kStartNames[] = {"dfuIDLE",       "DNLOAD-SYNC", "DNBUSY",  "DNLOAD-IDLE",
                                   "MANIFEST-SYNC", "MANIFEST",    "dfuERROR"};
const char* const kEventNames[] = {"DNLOAD data", "DNLOAD empty", "GETSTATUS", "GETSTATE",
                                   "CLRSTATUS",   "ABORT",        "UPLOAD"};

void reach(ModelDriver& driver, eStart start)
{
    const auto step = [](const tControlReply& reply) { ASSERT_EQ(reply.outcome, eOutcome::Answered); };
    if (start == eError) {
        ASSERT_EQ(driver.request(DFU::eClrStatus).outcome, eOutcome::Stalled);
        return;
    }
    if (start >= eDnloadSync)
        step(driver.dnload(0, pattern(kTransferSize)));
    if (start >= eDnBusy)
        step(driver.getStatus());
    if (start >= eDnloadIdle) {
        driver.clock.advance(std::chrono::milliseconds(kPollMs));
        step(driver.getStatus());
    }
    if (start >= eManifestSync)
        step(driver.dnload(1, {}));
    if (start >= eManifest)
        step(driver.getStatus());
}

tControlReply fire(ModelDriver& driver, eStart start, eEvent event)
{
    switch (event) {
    case eData: return driver.dnload(start == eIdle ? 0 : 1, pattern(kTransferSize));
    case eEmpty: return driver.dnload(1, {});
    case eStatus: return driver.getStatus();
    case eState: return driver.request(DFU::eGetState);
    case eClear: return driver.request(DFU::eClrStatus);
    case eAbort: return driver.request(DFU::eAbort);
    case eUpload: return driver.request(DFU::eUpload);
    default: return {};
    }
}

struct tCell {
    eOutcome outcome;
    std::uint8_t state;
};

constexpr eOutcome A = eOutcome::Answered;
constexpr eOutcome S = eOutcome::Stalled;
constexpr std::uint8_t kErr = DFU::eDfuError;

// Rows: state before; columns: the request; cells: outcome and state after.
const tCell kTable[eStartCount][eEventCount] = {
    //              DNLOAD data             DNLOAD empty              GETSTATUS                  GETSTATE                   CLRSTATUS              ABORT                 UPLOAD
    /* IDLE     */ {{A, DFU::eDnloadSync},
                    {S, kErr},
                    {A, DFU::eDfuIdle},
                    {A, DFU::eDfuIdle},
                    {S, kErr},
                    {A, DFU::eDfuIdle},
                    {S, kErr}},
    /* SYNC     */ {{S, kErr}, {S, kErr}, {A, DFU::eDnBusy}, {A, DFU::eDnloadSync}, {S, kErr}, {S, kErr}, {S, kErr}},
    /* BUSY     */ {{S, kErr}, {S, kErr}, {A, DFU::eDnBusy}, {A, DFU::eDnBusy}, {S, kErr}, {S, kErr}, {S, kErr}},
    /* DL-IDLE  */
    {{A, DFU::eDnloadSync},
     {A, DFU::eManifestSync},
     {A, DFU::eDnloadIdle},
     {A, DFU::eDnloadIdle},
     {S, kErr},
     {A, DFU::eDfuIdle},
     {S, kErr}},
    /* MAN-SYNC */
    {{S, kErr}, {S, kErr}, {A, DFU::eManifest}, {A, DFU::eManifestSync}, {S, kErr}, {S, kErr}, {S, kErr}},
    /* MANIFEST */ {{S, kErr}, {S, kErr}, {A, DFU::eManifest}, {A, DFU::eManifest}, {S, kErr}, {S, kErr}, {S, kErr}},
    /* ERROR    */ {{S, kErr}, {S, kErr}, {A, kErr}, {A, kErr}, {A, DFU::eDfuIdle}, {S, kErr}, {S, kErr}},
};

TEST(DfuStateMachineTest, DfuModeAnswersEveryRequestInEveryStateAsTheTableSays)
{
    for (int start = 0; start < eStartCount; ++start) {
        for (int event = 0; event < eEventCount; ++event) {
            SCOPED_TRACE(std::string(kEventNames[event]) + " in " + kStartNames[start]);
            ModelDriver driver(updateMode());
            reach(driver, static_cast<eStart>(start));
            const tCell expected = kTable[start][event];

            const tControlReply reply = fire(driver, static_cast<eStart>(start), static_cast<eEvent>(event));

            EXPECT_EQ(reply.outcome, expected.outcome);
            EXPECT_EQ(driver.model->dfuState(), expected.state) << DFU::stateName(driver.model->dfuState());
            if (expected.state == kErr) {
                EXPECT_EQ(driver.model->dfuStatus(), DFU::eErrStalledPacket);
            }
            if (event == eStatus) {
                EXPECT_EQ(stateOf(reply), expected.state);  // the reply tells the state it leaves the device in
            }
            EXPECT_TRUE(driver.busRequests.empty());
        }
    }
}

// ---- download

TEST(DfuStateMachineTest, BlockKeepsTheDeviceBusyUntilThePollTimeHasPassedOnTheClock)
{
    ModelDriver driver(updateMode());
    ASSERT_EQ(driver.dnload(0, pattern(kTransferSize)).outcome, eOutcome::Answered);

    tControlReply status = driver.getStatus();
    EXPECT_EQ(stateOf(status), DFU::eDnBusy);
    EXPECT_EQ(pollTimeoutOf(status), 10);

    driver.clock.advance(9ms);
    status = driver.getStatus();
    EXPECT_EQ(stateOf(status), DFU::eDnBusy);
    EXPECT_EQ(pollTimeoutOf(status), 1);  // what is left

    driver.clock.advance(1ms);
    EXPECT_EQ(stateOf(driver.getStatus()), DFU::eDnloadIdle);
}

TEST(DfuStateMachineTest, WithoutPollTimeABlockIsDoneAtTheFirstStatus)
{
    ControllerConfig config = updateMode();
    config.pollTimeoutMs = 0;
    ModelDriver driver(config);
    ASSERT_EQ(driver.dnload(0, pattern(kTransferSize)).outcome, eOutcome::Answered);
    const tControlReply status = driver.getStatus();
    EXPECT_EQ(stateOf(status), DFU::eDnloadIdle);
    EXPECT_EQ(pollTimeoutOf(status), 0);
}

TEST(DfuStateMachineTest, AssemblesTheImageFromConsecutiveBlocks)
{
    ControllerConfig config = updateMode();
    config.pollTimeoutMs = 0;
    ModelDriver driver(config);
    const Bytes image = pattern(2 * kTransferSize + 5);
    for (std::uint16_t block = 0; block < 3; ++block) {
        const auto begin = image.begin() + block * kTransferSize;
        const Bytes data(begin, std::min(begin + kTransferSize, image.end()));
        ASSERT_EQ(driver.dnload(block, data).outcome, eOutcome::Answered);
        ASSERT_EQ(stateOf(driver.getStatus()), DFU::eDnloadIdle);
    }
    EXPECT_EQ(driver.model->receivedMainImage(), image);
}

TEST(DfuStateMachineTest, RefusesBlocksOutOfSequenceOrLargerThanTheTransferSize)
{
    struct tCase {
        const char* name;
        std::uint16_t firstBlock;
        std::uint16_t secondBlock;
        std::size_t secondSize;
        std::uint8_t status;
    };
    const tCase cases[] = {
        {"first block not 0", 1, 0, 0, DFU::eErrAddress},
        {"block skipped", 0, 2, kTransferSize, DFU::eErrAddress},
        {"block repeated", 0, 0, kTransferSize, DFU::eErrAddress},
        {"block too large", 0, 1, kTransferSize + 1, DFU::eErrStalledPacket},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerConfig config = updateMode();
        config.pollTimeoutMs = 0;
        ModelDriver driver(config);
        tControlReply reply = driver.dnload(c.firstBlock, pattern(kTransferSize));
        if (c.firstBlock == 0) {
            ASSERT_EQ(reply.outcome, eOutcome::Answered);
            ASSERT_EQ(stateOf(driver.getStatus()), DFU::eDnloadIdle);
            reply = driver.dnload(c.secondBlock, pattern(c.secondSize));
        }
        EXPECT_EQ(reply.outcome, eOutcome::Stalled);
        EXPECT_EQ(driver.model->dfuState(), DFU::eDfuError);
        EXPECT_EQ(driver.model->dfuStatus(), c.status);
    }
}

// ---- manifestation and versions

// Downloads `image` block by block, waiting out each busy time, then sends the zero-length request.
void download(ModelDriver& driver, const Bytes& image)
{
    for (std::size_t offset = 0, block = 0; offset < image.size(); offset += kTransferSize, ++block) {
        const Bytes data(image.begin() + offset, image.begin() + std::min(offset + kTransferSize, image.size()));
        ASSERT_EQ(driver.dnload(static_cast<std::uint16_t>(block), data).outcome, eOutcome::Answered);
        while (stateOf(driver.getStatus()) == DFU::eDnBusy)
            driver.clock.advance(std::chrono::milliseconds(kPollMs));
        ASSERT_EQ(driver.model->dfuState(), DFU::eDnloadIdle);
    }
    ASSERT_EQ(driver.dnload(static_cast<std::uint16_t>(image.size() / kTransferSize), {}).outcome, eOutcome::Answered);
}

TEST(DfuStateMachineTest, TolerantManifestationAsTheProgramPollsIt)
{
    ControllerConfig config = updateMode();
    config.expectedMainImage = pattern(40);
    ModelDriver driver(config);
    download(driver, config.expectedMainImage);

    // GETSTATE, GETSTATUS, then GETSTATE every second until it leaves dfuMANIFEST.
    EXPECT_EQ(driver.getState(), DFU::eManifestSync);
    const tControlReply status = driver.getStatus();
    EXPECT_EQ(stateOf(status), DFU::eManifest);
    EXPECT_EQ(pollTimeoutOf(status), 100);
    driver.clock.advance(99ms);
    EXPECT_EQ(driver.getState(), DFU::eManifest);
    driver.clock.advance(1ms);
    EXPECT_EQ(driver.getState(), DFU::eManifestSync);
    EXPECT_EQ(stateOf(driver.getStatus()), DFU::eDfuIdle);
    EXPECT_EQ(driver.getState(), DFU::eDfuIdle);
    EXPECT_EQ(stateOf(driver.getStatus()), DFU::eDfuIdle);

    // The new version shows only once the controller runs the new firmware.
    EXPECT_EQ(driver.model->mainVersion(), 0x0020);
    EXPECT_TRUE(driver.busRequests.empty());
    ASSERT_EQ(driver.detach().outcome, eOutcome::Answered);
    driver.clock.advance(1s);
    ASSERT_EQ(driver.busRequests.size(), 2u);
    EXPECT_EQ(driver.busRequests[1].mode, eMode::Application);
    EXPECT_EQ(driver.model->mainVersion(), 0x0021);
    EXPECT_EQ(driver.model->identity().bcdDevice, 0x0021);
    EXPECT_EQ(driver.model->identity().productId, 0x1300);
}

TEST(DfuStateMachineTest, NonTolerantControllerRestartsAsApplicationAfterManifestation)
{
    ControllerConfig config = updateMode(DFU::kCanDownload | DFU::kWillDetach);
    config.expectedMainImage = pattern(40);
    ModelDriver driver(config);
    download(driver, config.expectedMainImage);
    const Clock::Duration manifestStart = driver.clock.now();
    ASSERT_EQ(driver.getState(), DFU::eManifestSync);
    ASSERT_EQ(stateOf(driver.getStatus()), DFU::eManifest);

    driver.clock.advance(99ms);
    EXPECT_TRUE(driver.busRequests.empty());
    driver.clock.advance(2s);

    ASSERT_EQ(driver.busRequests.size(), 2u);
    EXPECT_EQ(driver.busRequests[0].kind, eKind::Leave);
    EXPECT_EQ(driver.busRequests[0].at, manifestStart + 100ms);
    EXPECT_EQ(driver.busRequests[1].kind, eKind::Arrive);
    EXPECT_EQ(driver.busRequests[1].mode, eMode::Application);
    EXPECT_EQ(driver.busRequests[1].at, manifestStart + 100ms + 1s);
    EXPECT_EQ(driver.model->identity().bcdDevice, 0x0021);
}

TEST(DfuStateMachineTest, VersionsChangeOnlyForTheExpectedImage)
{
    struct tCase {
        const char* name;
        Bytes sent;
        std::uint16_t version;
    };
    const Bytes expected = pattern(40);
    Bytes oneByteOff = expected;
    oneByteOff[17] ^= 0x01;
    const tCase cases[] = {
        {"the expected image", expected, 0x0021},
        {"one byte differs", oneByteOff, 0x0020},
        {"shorter", Bytes(expected.begin(), expected.end() - 1), 0x0020},
        {"longer", pattern(41), 0x0020},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerConfig config = updateMode(DFU::kCanDownload | DFU::kWillDetach);
        config.expectedMainImage = expected;
        ModelDriver driver(config);
        download(driver, c.sent);
        driver.getStatus();
        driver.clock.advance(10s);
        EXPECT_EQ(driver.model->mode(), eMode::Application);
        EXPECT_EQ(driver.model->mainVersion(), c.version);
        EXPECT_EQ(driver.model->receivedMainImage(), c.sent);
    }
}

// ---- resets and re-enumeration

TEST(DfuStateMachineTest, DetachWithWillDetachLeavesAtOnceAndArrivesInUpdateModeAfterTheDelay)
{
    ControllerConfig config;
    config.reenumerationDelay = 700ms;
    ModelDriver driver(config);
    driver.clock.advance(5s);
    ASSERT_EQ(driver.detach().outcome, eOutcome::Answered);
    EXPECT_FALSE(driver.model->onBus());
    EXPECT_EQ(driver.getStatus().outcome, eOutcome::Absent);  // resetting: nobody answers

    driver.clock.advance(1s);

    ASSERT_EQ(driver.busRequests.size(), 2u);
    EXPECT_EQ(driver.busRequests[0].kind, eKind::Leave);
    EXPECT_EQ(driver.busRequests[0].at, 5s);
    EXPECT_EQ(driver.busRequests[1].kind, eKind::Arrive);
    EXPECT_EQ(driver.busRequests[1].mode, eMode::Update);
    EXPECT_EQ(driver.busRequests[1].at, 5700ms);
    EXPECT_EQ(driver.model->identity().productId, 0x1302);
    EXPECT_EQ(driver.model->dfuState(), DFU::eDfuIdle);
    EXPECT_EQ(driver.model->reenumerations(), 1u);
}

TEST(DfuStateMachineTest, DetachWithoutWillDetachWaitsForAResetAndGivesUpAfterTheTimeOut)
{
    ControllerConfig config;
    config.dfuAttributes = DFU::kCanDownload | DFU::kManifestationTolerant;
    config.detachTimeOutMs = 500;

    ModelDriver driver(config);
    ASSERT_EQ(driver.detach(2000).outcome, eOutcome::Answered);  // the descriptor's time-out bounds the request's
    EXPECT_EQ(stateOf(driver.getStatus()), DFU::eAppDetach);
    driver.clock.advance(499ms);
    EXPECT_EQ(driver.getState(), DFU::eAppDetach);
    driver.clock.advance(1ms);
    EXPECT_EQ(driver.getState(), DFU::eAppIdle);
    EXPECT_TRUE(driver.busRequests.empty());

    ModelDriver reset(config);
    ASSERT_EQ(reset.detach(300).outcome, eOutcome::Answered);
    EXPECT_TRUE(reset.model->busReset());
    reset.clock.advance(1s);
    ASSERT_EQ(reset.busRequests.size(), 2u);
    EXPECT_EQ(reset.busRequests[1].mode, eMode::Update);
    reset.clock.advance(1s);  // the old time-out no longer applies
    EXPECT_EQ(reset.model->dfuState(), DFU::eDfuIdle);
}

TEST(DfuStateMachineTest, ResetsRequestsAndWhereTheyLead)
{
    struct tCase {
        const char* name;
        eMode from;
        std::uint8_t attributes;
        std::function<tControlReply(ModelDriver&)> send;
        eOutcome outcome;
        std::optional<eMode> arrivesIn;  // empty: stays on the bus
    };
    const std::uint8_t willDetach = DFU::kCanDownload | DFU::kManifestationTolerant | DFU::kWillDetach;
    const std::uint8_t noWillDetach = DFU::kCanDownload | DFU::kManifestationTolerant;
    const auto xmos = [](std::uint8_t request, int index = -1) {
        return [request, index](ModelDriver& d) {
            return d.out(0x21, request, 0, static_cast<std::uint16_t>(index < 0 ? d.dfuInterface() : index));
        };
    };
    // A USB reset has no reply: "answered" stands for "the controller leaves the bus".
    const auto reset = [](ModelDriver& d) {
        return tControlReply{d.model->busReset() ? eOutcome::Answered : eOutcome::Stalled, {}};
    };
    const tCase cases[] = {
        {"XMOS reset into DFU from application", eMode::Application, noWillDetach, xmos(REQ::kXmosResetIntoDfu),
         eOutcome::Answered, eMode::Update},
        {"XMOS reset from DFU in update mode", eMode::Update, noWillDetach, xmos(REQ::kXmosResetFromDfu),
         eOutcome::Answered, eMode::Application},
        {"XMOS reset on the HID interface", eMode::Application, noWillDetach, xmos(REQ::kXmosResetIntoDfu, 0),
         eOutcome::Stalled, std::nullopt},
        {"DFU_DETACH in update mode, will detach", eMode::Update, willDetach, [](ModelDriver& d) { return d.detach(); },
         eOutcome::Answered, eMode::Application},
        {"DFU_DETACH in update mode, no will detach", eMode::Update, noWillDetach,
         [](ModelDriver& d) { return d.detach(); }, eOutcome::Stalled, std::nullopt},
        {"USB reset in update mode", eMode::Update, noWillDetach, reset, eOutcome::Answered, eMode::Application},
        {"USB reset in appIDLE", eMode::Application, noWillDetach, reset, eOutcome::Stalled, std::nullopt},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerConfig config;
        config.initialMode = c.from;
        config.dfuAttributes = c.attributes;
        ModelDriver driver(config);

        EXPECT_EQ(c.send(driver).outcome, c.outcome);
        driver.clock.advance(5s);

        if (c.arrivesIn) {
            ASSERT_EQ(driver.busRequests.size(), 2u);
            EXPECT_EQ(driver.busRequests[0].kind, eKind::Leave);
            EXPECT_EQ(driver.busRequests[1].kind, eKind::Arrive);
            EXPECT_EQ(driver.busRequests[1].mode, *c.arrivesIn);
            EXPECT_EQ(driver.model->mode(), *c.arrivesIn);
        } else {
            EXPECT_TRUE(driver.busRequests.empty());
            EXPECT_EQ(driver.model->mode(), c.from);
        }
    }
}

TEST(DfuStateMachineTest, RunTimeInterfaceAnswersStatusAndStallsDownloadRequests)
{
    ModelDriver driver;
    const tControlReply status = driver.getStatus();
    EXPECT_EQ(status.data, (Bytes{0, 0, 0, 0, DFU::eAppIdle, 0}));
    EXPECT_EQ(driver.getState(), DFU::eAppIdle);
    for (std::uint8_t request : {DFU::eDnload, DFU::eUpload, DFU::eClrStatus, DFU::eAbort}) {
        SCOPED_TRACE(static_cast<int>(request));
        EXPECT_EQ(driver.request(request).outcome, eOutcome::Stalled);
        EXPECT_EQ(driver.getState(), DFU::eAppIdle);
    }
    // The DFU interface is 1 in application mode: the same request to interface 0 (HID) is not DFU.
    EXPECT_EQ(driver.in(0xA1, DFU::eGetStatus, 0, 0, 6).outcome, eOutcome::Stalled);
}

}  // namespace
}  // namespace QV::SIM
