// The DFU download as a scripted conversation: block layout, status polling and its bounds,
// failures mid-download, and the manifestation paths.
#include "DFUScriptedDevice.h"

#include "DVK2/DFUDevice.h"
#include "DVK2/USBDeviceDB.h"

#include <gtest/gtest.h>

#include <numeric>

namespace QV::DVK2 {
namespace {

using namespace Testing;
using std::chrono::milliseconds;
using Waits = std::vector<milliseconds>;

std::vector<uint8_t> image(size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    return bytes;
}

// A device that takes every block at once and ends in dfuMANIFEST-WAIT-RESET.
tReply compliantDevice(const tSetup& s)
{
    switch (s.bRequest) {
    case 0x01: return ok();
    case 0x03: return status(0, DFU::eStateDnloadIdle);
    case 0x05: return state(DFU::eStateManifestWaitReset);
    default: ADD_FAILURE() << "unexpected " << s; return failed();
    }
}

// --- block layout ---------------------------------------------------------------------------------

struct tLayoutCase {
    const char* name;
    uint16_t transferSize;
    uint32_t length;
    std::vector<uint16_t> blockLengths;  // the blocks, numbered 0, 1, ...
    uint16_t finalBlockNumber;           // of the zero-length request
};

void PrintTo(const tLayoutCase& c, std::ostream* out) { *out << c.name; }

class DownloadLayout : public testing::TestWithParam<tLayoutCase> {};

TEST_P(DownloadLayout, BlocksThenZeroLengthRequest)
{
    const tLayoutCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(c.transferSize, DFU::kAttributeManifestationTolerant, 1000, 2));
    device.fallback = compliantDevice;
    const std::vector<uint8_t> bytes = image(c.length);

    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(bytes.data(), c.length, status));
    EXPECT_EQ(status.bStatus, DFU::eStatusOK);
    EXPECT_EQ(status.bState, DFU::eStateManifestWaitReset);

    ASSERT_EQ(device.sent.size(), c.blockLengths.size() * 2 + 2);
    size_t offset = 0;
    for (size_t block = 0; block < c.blockLengths.size(); ++block) {
        SCOPED_TRACE(block);
        const tSetup& sent = device.sent[block * 2];
        EXPECT_TRUE(sent.sameSetup(dnload(static_cast<uint16_t>(block), c.blockLengths[block], 2))) << sent;
        EXPECT_TRUE(std::equal(sent.data.begin(), sent.data.end(), bytes.begin() + offset));
        EXPECT_TRUE(device.sent[block * 2 + 1].sameSetup(getStatus(2)));
        offset += c.blockLengths[block];
    }
    EXPECT_EQ(offset, c.length);
    EXPECT_TRUE(device.sent[device.sent.size() - 2].sameSetup(dnload(c.finalBlockNumber, 0, 2)))
        << device.sent[device.sent.size() - 2];
    EXPECT_TRUE(device.sent.back().sameSetup(getState(2)));
}

INSTANTIATE_TEST_SUITE_P(
    Images, DownloadLayout,
    testing::Values(
        //          name, wTransferSize, image length, block lengths, block number of the zero-length request
        tLayoutCase{"ShorterThanOneBlock", 64, 10, {10}, 1}, tLayoutCase{"ExactlyOneBlock", 64, 64, {64}, 1},
        tLayoutCase{"ExactMultiple", 64, 192, {64, 64, 64}, 3},
        tLayoutCase{"PartialLastBlock", 64, 200, {64, 64, 64, 8}, 4},
        tLayoutCase{"LargestTransferSize", 8191, 8192, {8191, 1}, 2}, tLayoutCase{"OneByteBlocks", 1, 3, {1, 1, 1}, 3}),
    [](const testing::TestParamInfo<tLayoutCase>& info) { return info.param.name; });

TEST(Download, MainImageSizeInBlocksOf4096)
{
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(4096));
    device.fallback = compliantDevice;
    const std::vector<uint8_t> bytes = image(60416);
    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(bytes.data(), 60416, status));
    // 14 full blocks and 3,072 bytes: blocks 0..14, then the zero-length request numbered 15.
    ASSERT_EQ(device.sent.size(), 15u * 2 + 2);
    EXPECT_TRUE(device.sent[28].sameSetup(dnload(14, 3072)));
    EXPECT_TRUE(device.sent[30].sameSetup(dnload(15, 0)));
}

// --- refusals -------------------------------------------------------------------------------------

struct tRefusalCase {
    const char* name;
    DFU::tInterfaceInfo dfu;
    bool withData;
    uint32_t length;
    uint8_t bStatus;
};

void PrintTo(const tRefusalCase& c, std::ostream* out) { *out << c.name; }

class DownloadRefused : public testing::TestWithParam<tRefusalCase> {};

TEST_P(DownloadRefused, NothingIsSent)
{
    const tRefusalCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(c.dfu);
    const std::vector<uint8_t> bytes = image(100);
    DFU::GetStatus status;
    status.bState = 99;
    EXPECT_FALSE(device.writeImage(c.withData ? bytes.data() : nullptr, c.length, status));
    EXPECT_EQ(status.bStatus, c.bStatus);
    EXPECT_EQ(status.bState, 0) << "the record starts from zero";
    EXPECT_TRUE(device.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DownloadRefused,
    testing::Values(
        //           name, DFU interface, data given, length, bStatus
        tRefusalCase{"NoData", updateMode(64), false, 100, DFU::eStatusErrTarget},
        tRefusalCase{"EmptyImage", updateMode(64), true, 0, DFU::eStatusErrTarget},
        tRefusalCase{"ApplicationMode", {DFUDevice::eModeApplication, 0, 0, 64, 0}, true, 100, DFU::eStatusErrWrite},
        tRefusalCase{"NoDFUInterface", {DFUDevice::eModeNone, 0, 0, 64, 0}, true, 100, DFU::eStatusErrWrite},
        tRefusalCase{"TransferSizeZero", updateMode(0), true, 100, DFU::eStatusErrUnknown},
        tRefusalCase{"TransferSize8192", updateMode(8192), true, 100, DFU::eStatusErrUnknown},
        tRefusalCase{"TransferSize65535", updateMode(65535), true, 100, DFU::eStatusErrUnknown}),
    [](const testing::TestParamInfo<tRefusalCase>& info) { return info.param.name; });

TEST(DownloadTrace, UnsupportedTransferSizeIsAnErrorLine)
{
    TraceCapture trace(false);
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(8192));
    const std::vector<uint8_t> bytes = image(10);
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(bytes.data(), 10, status));
    EXPECT_EQ(trace.text(), "DFUDevice: Unsupported wTransferSize (8192)\n");
}

// --- status polling -------------------------------------------------------------------------------

TEST(DownloadPolling, WaitsThePollTimeoutCappedAtOneSecond)
{
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(64));
    device.expect(dnload(0, 16), ok());
    device.expect(getStatus(), status(0, DFU::eStateDnBusy, 5000));
    device.expect(getStatus(), status(0, DFU::eStateDnBusy, 0));  // asked again at once
    device.expect(getStatus(), status(0, DFU::eStateDnBusy, 250));
    device.expect(getStatus(), status(0, DFU::eStateDnBusy, 0x010000));  // the third byte counts
    device.expect(getStatus(), status(0, DFU::eStateDnloadIdle, 700));   // done: no wait
    device.expect(dnload(1, 0), ok());
    device.expect(getState(), state(DFU::eStateAppIdle));

    const std::vector<uint8_t> bytes = image(16);
    DFU::GetStatus status;
    EXPECT_TRUE(device.writeImage(bytes.data(), 16, status));
    EXPECT_EQ(device.unusedExchanges(), 0u);
    EXPECT_EQ(sleeps.waits(), (Waits{milliseconds(1000), milliseconds(250), milliseconds(1000)}));
}

struct tBusyCase {
    const char* name;
    uint32_t pollTimeout;
    size_t statusRequests;
    size_t waits;
};

void PrintTo(const tBusyCase& c, std::ostream* out) { *out << c.name; }

class DownloadStaysBusy : public testing::TestWithParam<tBusyCase> {};

TEST_P(DownloadStaysBusy, GivesUpWithErrUnknown)
{
    const tBusyCase& c = GetParam();
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(64));
    device.expect(dnload(0, 16), ok());
    size_t statusRequests = 0;
    device.fallback = [&](const tSetup& s) {
        EXPECT_TRUE(s.sameSetup(getStatus())) << s;
        ++statusRequests;
        return status(0, DFU::eStateDnBusy, c.pollTimeout);
    };
    const std::vector<uint8_t> bytes = image(16);
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(bytes.data(), 16, status));
    EXPECT_EQ(status.bStatus, DFU::eStatusErrUnknown);
    EXPECT_EQ(status.bState, DFU::eStateDnBusy);
    EXPECT_EQ(statusRequests, c.statusRequests);
    const Waits waits = sleeps.waits();
    EXPECT_EQ(waits.size(), c.waits);
    EXPECT_LE(std::accumulate(waits.begin(), waits.end(), milliseconds(0)), milliseconds(DFUDevice::kMaxBusyWaitMs));
}

INSTANTIATE_TEST_SUITE_P(PollTimeouts, DownloadStaysBusy,
                         testing::Values(
                             //        name, bwPollTimeout, GETSTATUS requests, waits
                             tBusyCase{"OneSecond", 1000, 31, 30}, tBusyCase{"CappedAtOneSecond", 5000, 31, 30},
                             tBusyCase{"FourHundredMs", 400, 76, 75},
                             tBusyCase{"NoWait", 0, DFUDevice::kMaxBusyPolls + 1, 0}),
                         [](const testing::TestParamInfo<tBusyCase>& info) { return info.param.name; });

// --- failures during the download -------------------------------------------------------------------

struct tFailureCase {
    const char* name;
    std::vector<tExchange> script;  // after the script, nothing more may be sent
    uint8_t bStatus;
    uint8_t bState;
};

void PrintTo(const tFailureCase& c, std::ostream* out) { *out << c.name; }

class DownloadFails : public testing::TestWithParam<tFailureCase> {};

TEST_P(DownloadFails, StopsAndSaysWhy)
{
    const tFailureCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(8));
    for (const tExchange& e : c.script)
        device.expect(e.expected, e.reply);
    const std::vector<uint8_t> bytes = image(20);
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(bytes.data(), 20, status));
    EXPECT_EQ(device.unusedExchanges(), 0u);
    EXPECT_EQ(device.sent.size(), c.script.size());
    EXPECT_EQ(status.bStatus, c.bStatus);
    EXPECT_NE(status.bStatus, DFU::eStatusOK) << "a failure never reads as OK";
    EXPECT_EQ(status.bState, c.bState);
}

const tExchange kBlock0{dnload(0, 8), ok()};
const tExchange kBlock0Done{getStatus(), status(0, DFU::eStateDnloadIdle)};

INSTANTIATE_TEST_SUITE_P(
    Conversations, DownloadFails,
    testing::Values(
        //           name, script, bStatus, bState
        tFailureCase{"FirstBlockStalls", {{dnload(0, 8), failed()}}, DFU::eStatusErrUnknown, 0},
        tFailureCase{"LaterBlockStalls",
                     {kBlock0, kBlock0Done, {dnload(1, 8), failed()}},
                     DFU::eStatusErrUnknown,
                     DFU::eStateDnloadIdle},
        tFailureCase{"ErrorStateMidDownload",
                     {kBlock0, kBlock0Done, {dnload(1, 8), ok()}, {getStatus(), status(3, DFU::eStateError)}},
                     3,
                     DFU::eStateError},
        tFailureCase{"ErrorAfterBusy",
                     {kBlock0, {getStatus(), status(0, DFU::eStateDnBusy, 0)}, {getStatus(), status(0x0B, 10)}},
                     0x0B,
                     DFU::eStateError},
        tFailureCase{"ShortStatusReply",
                     {kBlock0, {getStatus(), tReply{0, {0, 0, 0, 0, 5}}}},
                     DFU::eStatusErrUnknown,
                     DFU::eStateError},
        tFailureCase{
            "StatusRequestStalls", {kBlock0, {getStatus(), failed()}}, DFU::eStatusErrUnknown, DFU::eStateError},
        tFailureCase{"UnexpectedStateWithOKStatus",
                     {kBlock0, {getStatus(), status(0, DFU::eStateDfuIdle)}},
                     DFU::eStatusErrUnknown,
                     DFU::eStateDfuIdle},
        tFailureCase{"ZeroLengthRequestStalls",
                     {kBlock0,
                      kBlock0Done,
                      {dnload(1, 8), ok()},
                      kBlock0Done,
                      {dnload(2, 4), ok()},
                      kBlock0Done,
                      {dnload(3, 0), failed()}},
                     DFU::eStatusErrUnknown,
                     DFU::eStateDnloadIdle}),
    [](const testing::TestParamInfo<tFailureCase>& info) { return info.param.name; });

TEST(DownloadTrace, FailedRequestIsADetailLineOfItsCategory)
{
    const std::vector<uint8_t> bytes = image(8);
    DFU::GetStatus status;
    {
        TraceCapture trace(true);
        ScriptedDFUDevice device;
        device.pretendConnected(updateMode(8));
        device.expect(dnload(0, 8), failed());
        EXPECT_FALSE(device.writeImage(bytes.data(), 8, status));
        EXPECT_EQ(trace.text(), "DFUDevice: DFU_DNLOAD failed with status 0xe000404f (Pipe has stalled)\n");
    }
    {
        TraceCapture trace(false);  // the default report level: no detail lines
        ScriptedDFUDevice device;
        device.pretendConnected(updateMode(8));
        device.expect(dnload(0, 8), failed());
        EXPECT_FALSE(device.writeImage(bytes.data(), 8, status));
        EXPECT_EQ(trace.text(), "");
    }
}

// --- manifestation --------------------------------------------------------------------------------

struct tManifestCase {
    const char* name;
    std::vector<tExchange> script;  // after the zero-length request
    bool result;
    uint8_t bStatus;
    uint8_t bState;
    Waits waits;
};

void PrintTo(const tManifestCase& c, std::ostream* out) { *out << c.name; }

class Manifestation : public testing::TestWithParam<tManifestCase> {};

TEST_P(Manifestation, TolerantDevice)
{
    const tManifestCase& c = GetParam();
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(8, DFU::kAttributeManifestationTolerant));
    device.expect(dnload(0, 8), ok());
    device.expect(getStatus(), status(0, DFU::eStateDnloadIdle));
    device.expect(dnload(1, 0), ok());
    for (const tExchange& e : c.script)
        device.expect(e.expected, e.reply);
    const std::vector<uint8_t> bytes = image(8);
    DFU::GetStatus status;
    EXPECT_EQ(device.writeImage(bytes.data(), 8, status), c.result);
    EXPECT_EQ(device.unusedExchanges(), 0u);
    EXPECT_EQ(device.sent.size(), c.script.size() + 3);
    EXPECT_EQ(status.bStatus, c.bStatus);
    EXPECT_EQ(status.bState, c.bState);
    EXPECT_EQ(sleeps.waits(), c.waits);
}

const milliseconds kSecond(1000);

INSTANTIATE_TEST_SUITE_P(
    States, Manifestation,
    testing::Values(
        //            name, script, result, bStatus, bState, waits
        tManifestCase{"WaitReset", {{getState(), state(8)}}, true, 0, 8, {}},
        tManifestCase{"AppIdle", {{getState(), state(0)}}, true, 0, 0, {}},
        tManifestCase{"DfuIdle", {{getState(), state(2)}, {getStatus(), status(0, 2)}}, true, 0, 2, {}},
        tManifestCase{
            "DfuIdleWithError", {{getState(), state(2)}, {getStatus(), status(0x0A, 10)}}, false, 0x0A, 10, {}},
        tManifestCase{"DfuIdleStatusStalls", {{getState(), state(2)}, {getStatus(), failed()}}, false, 14, 10, {}},
        tManifestCase{
            "SyncThenManifest",
            {{getState(), state(6)}, {getStatus(), status(0, 7)}, {getState(), state(7)}, {getState(), state(8)}},
            true,
            0,
            8,
            {kSecond, kSecond}},
        tManifestCase{
            "SyncThenIdle",
            {{getState(), state(6)}, {getStatus(), status(0, 7)}, {getState(), state(2)}, {getStatus(), status(0, 2)}},
            true,
            0,
            2,
            {kSecond}},
        tManifestCase{"SyncWithError", {{getState(), state(6)}, {getStatus(), status(4, 10)}}, false, 4, 10, {}},
        tManifestCase{"ManifestReadStalls", {{getState(), state(7)}, {getState(), failed()}}, false, 14, 5, {kSecond}},
        tManifestCase{"StateReadStalls", {{getState(), failed()}}, false, 14, 5, {}},
        tManifestCase{"StateReplyEmpty", {{getState(), tReply{0, {}}}}, false, 14, 5, {}},
        tManifestCase{"UnexpectedState", {{getState(), state(5)}}, false, 14, 5, {}},
        tManifestCase{"ErrorState", {{getState(), state(10)}}, false, 14, 5, {}}),
    [](const testing::TestParamInfo<tManifestCase>& info) { return info.param.name; });

TEST(ManifestationBound, TolerantDeviceStuckInManifestGivesUp)
{
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(updateMode(8, DFU::kAttributeManifestationTolerant));
    device.expect(dnload(0, 8), ok());
    device.expect(getStatus(), status(0, DFU::eStateDnloadIdle));
    device.expect(dnload(1, 0), ok());
    size_t stateReads = 0;
    device.fallback = [&](const tSetup& s) {
        EXPECT_TRUE(s.sameSetup(getState())) << s;
        ++stateReads;
        return state(DFU::eStateManifest);
    };
    const std::vector<uint8_t> bytes = image(8);
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(bytes.data(), 8, status));
    EXPECT_EQ(status.bStatus, DFU::eStatusErrUnknown);
    EXPECT_EQ(stateReads, DFUDevice::kMaxTolerantManifestWaits + 1);
    EXPECT_EQ(sleeps.waits(), Waits(DFUDevice::kMaxTolerantManifestWaits, kSecond));
}

// A device that is not manifestation tolerant re-enumerates in application mode; none comes back
// here (no such device on the bus), so the wait ends when the milliseconds waited, counted before
// each 10 s step, pass wDetachTimeOut.
struct tNonTolerantCase {
    uint16_t detachTimeOut;
    size_t waits;
};

void PrintTo(const tNonTolerantCase& c, std::ostream* out) { *out << c.detachTimeOut << " ms"; }

class ManifestationNotTolerant : public testing::TestWithParam<tNonTolerantCase> {};

TEST_P(ManifestationNotTolerant, DeviceNeverReturns)
{
    const tNonTolerantCase& c = GetParam();
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    USBDeviceInfo identity;
    identity.vendorId = USBDeviceDB::QVVendorId;
    identity.productId = 0x1302;
    identity.serialNumber = "no-such-serial";
    device.pretendConnected(updateMode(8, DFU::kAttributeWillDetach, c.detachTimeOut), identity);
    device.expect(dnload(0, 8), ok());
    device.expect(getStatus(), status(0, DFU::eStateDnloadIdle));
    device.expect(dnload(1, 0), ok());
    device.expect(getState(), state(DFU::eStateManifest));
    const std::vector<uint8_t> bytes = image(8);
    DFU::GetStatus status;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.writeImage(bytes.data(), 8, status));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(status.bStatus, DFU::eStatusErrUnknown);
    EXPECT_EQ(sleeps.waits(), Waits(c.waits, milliseconds(10000)));
    EXPECT_EQ(device.sent.size(), 4u) << "nothing is asked during the wait";
    EXPECT_TRUE(device.isConnected()) << "still the device in update mode";
}

INSTANTIATE_TEST_SUITE_P(DetachTimeOuts, ManifestationNotTolerant,
                         testing::Values(
                             //               wDetachTimeOut (ms), 10 s waits
                             tNonTolerantCase{0, 2}, tNonTolerantCase{9999, 2}, tNonTolerantCase{10000, 3},
                             tNonTolerantCase{25000, 4}, tNonTolerantCase{65535, 8}),
                         [](const testing::TestParamInfo<tNonTolerantCase>& info) {
                             return "DetachTimeOut" + std::to_string(info.param.detachTimeOut);
                         });

}  // namespace
}  // namespace QV::DVK2
