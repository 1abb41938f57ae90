// The single requests of DFUDevice, the mode changes and the custom image, as scripted
// conversations.
#include "DFUScriptedDevice.h"

#include "DVK2/DFUDevice.h"

#include <gtest/gtest.h>

namespace QV::DVK2 {
namespace {

using namespace Testing;

constexpr uint16_t kInterface = 3;
constexpr uint16_t kDetachTimeOut = 250;

DFU::tInterfaceInfo interfaceInfo(uint8_t mode, uint8_t attributes)
{
    return {mode, attributes, kDetachTimeOut, 512, kInterface};
}

// --- detach and return ----------------------------------------------------------------------------

struct tModeChangeCase {
    const char* name;
    bool returnToApplication;  // else sendDFUDetach
    uint8_t mode;
    uint8_t attributes;
    std::vector<tSetup> sent;
};

void PrintTo(const tModeChangeCase& c, std::ostream* out) { *out << c.name; }

class ModeChange : public testing::TestWithParam<tModeChangeCase> {};

TEST_P(ModeChange, SendsTheRightRequest)
{
    const tModeChangeCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(c.mode, c.attributes));
    for (const tSetup& s : c.sent)
        device.expect(s, ok());
    EXPECT_TRUE(c.returnToApplication ? device.returnToAPPMode() : device.sendDFUDetach());
    EXPECT_EQ(device.sent.size(), c.sent.size());
    EXPECT_EQ(device.unusedExchanges(), 0u);

    // The same request failing fails the operation.
    if (!c.sent.empty()) {
        ScriptedDFUDevice failing;
        failing.pretendConnected(interfaceInfo(c.mode, c.attributes));
        failing.expect(c.sent.front(), failed());
        EXPECT_FALSE(c.returnToApplication ? failing.returnToAPPMode() : failing.sendDFUDetach());
    }
}

constexpr uint8_t kWillDetach = DFU::kAttributeWillDetach;

INSTANTIATE_TEST_SUITE_P(
    Requests, ModeChange,
    testing::Values(
        //              name, returnToAPPMode, mode, attributes, requests sent
        tModeChangeCase{"DetachByDFU", false, 1, kWillDetach, {classOut(0x00, kDetachTimeOut, kInterface)}},
        tModeChangeCase{"DetachByXMOSReset", false, 1, 0x07, {classOut(0xF2, 0, kInterface)}},
        tModeChangeCase{
            "ReturnFromUpdateModeByDFU", true, 2, kWillDetach, {classOut(0x00, kDetachTimeOut, kInterface)}},
        tModeChangeCase{"ReturnFromUpdateModeByXMOSReset", true, 2, 0x04, {classOut(0xF3, 0, kInterface)}},
        tModeChangeCase{"AlreadyInApplicationMode", true, 1, kWillDetach, {}}),
    [](const testing::TestParamInfo<tModeChangeCase>& info) { return info.param.name; });

TEST(ModeChangeNotConnected, ReturnToApplicationModeFailsAndSaysWhy)
{
    TraceCapture trace(true);
    DFUDevice device;  // never connected: the real transfer answers "not connected"
    EXPECT_FALSE(device.returnToAPPMode());
    EXPECT_EQ(trace.text(), "DFUDevice: XMOS_DFU_RESETFROMDFU failed with status 0xbadbabe (device not connected)\n");
}

TEST(ModeChangeNotConnected, ApplicationModeOfAGoneDeviceIsNotEnough)
{
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeApplication, 0));
    device.disconnect();
    device.expect(classOut(0xF3, 0, kInterface), failed(USBDevice::eStatusNotConnected));
    EXPECT_FALSE(device.returnToAPPMode());
}

// --- reconnection in update mode ------------------------------------------------------------------

TEST(ReconnectInDFUMode, AlreadyInUpdateModeDoesNothing)
{
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
    EXPECT_TRUE(device.reconnectInDFUMode());
    EXPECT_TRUE(device.isConnected());
    EXPECT_TRUE(device.sent.empty());
    EXPECT_TRUE(sleeps.waits().empty());
}

TEST(ReconnectInDFUMode, ConnectedDeviceIsLetGoAndWaitedFor)
{
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    USBDeviceInfo identity;
    identity.vendorId = 0x5644;
    identity.productId = 0x1300;
    identity.serialNumber = "no-such-serial";
    device.pretendConnected(interfaceInfo(DFUDevice::eModeApplication, 0), identity);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.reconnectInDFUMode());  // nothing of that serial number on this bus
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(device.isConnected());
    EXPECT_EQ(sleeps.waits(), std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(2500)});
    EXPECT_EQ(device.info().serialNumber, "no-such-serial") << "the identity survives for the next try";
    EXPECT_TRUE(device.sent.empty());
}

TEST(ReconnectInDFUMode, DisconnectedDeviceScansAtOnce)
{
    SleepRecorder sleeps;
    DFUDevice device;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(device.reconnectInDFUMode());
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(sleeps.waits().empty());
}

// --- single requests ------------------------------------------------------------------------------

TEST(SingleRequests, StatusStateAndAbort)
{
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
    device.expect(getStatus(kInterface), tReply{0, {0x0E, 0x10, 0x27, 0x01, 0x04, 0x07}});
    device.expect(getState(kInterface), state(6));
    device.expect(classOut(0x06, 0, kInterface), ok());

    DFU::GetStatus status;
    ASSERT_TRUE(device.getDFUStatus(status));
    EXPECT_EQ(status.bStatus, 0x0E);
    EXPECT_EQ(status.bwPollTimeout, 0x012710u);
    EXPECT_EQ(status.bState, 4);
    EXPECT_EQ(status.iString, 7);

    uint8_t state = 0;
    ASSERT_TRUE(device.getDFUState(state));
    EXPECT_EQ(state, 6);
    EXPECT_TRUE(device.sendDFUAbort());
    EXPECT_EQ(device.unusedExchanges(), 0u);
}

TEST(SingleRequests, IncompleteRepliesFail)
{
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
    device.expect(getStatus(kInterface), tReply{0, {0, 0, 0, 0, 5}});
    device.expect(getState(kInterface), tReply{0, {}});
    device.expect(getState(kInterface), failed());
    device.expect(classOut(0x06, 0, kInterface), failed());

    DFU::GetStatus status;
    status.bStatus = 0;
    EXPECT_FALSE(device.getDFUStatus(status));
    EXPECT_EQ(status.bStatus, DFU::eStatusErrUnknown) << "a short reply never reads as OK";
    EXPECT_EQ(status.bState, DFU::eStateError);

    uint8_t state = 42;
    EXPECT_FALSE(device.getDFUState(state));
    EXPECT_FALSE(device.getDFUState(state));
    EXPECT_EQ(state, 42);
    EXPECT_FALSE(device.sendDFUAbort());
}

// --- custom image ---------------------------------------------------------------------------------

std::vector<uint8_t> pattern(size_t length)
{
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i ^ (i >> 8));
    return bytes;
}

tSetup customBlock(uint8_t image, uint16_t block, uint16_t length)
{
    return {0x41, static_cast<uint8_t>(0x1C + image), block, kInterface, length, {}};
}

struct tCustomCase {
    const char* name;
    uint32_t length;
    uint16_t fullBlocks;
    uint16_t lastLength;
};

void PrintTo(const tCustomCase& c, std::ostream* out) { *out << c.name; }

class CustomImage : public testing::TestWithParam<tCustomCase> {};

TEST_P(CustomImage, BlocksOf256ThenTheRest)
{
    const tCustomCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
    for (uint16_t i = 0; i < c.fullBlocks; ++i)
        device.expect(customBlock(1, i, 256), ok());
    device.expect(customBlock(1, c.fullBlocks, c.lastLength), ok());

    const std::vector<uint8_t> bytes = pattern(c.length);
    EXPECT_TRUE(device.writeCustom(bytes.data(), c.length, 1));
    EXPECT_EQ(device.unusedExchanges(), 0u);
    std::vector<uint8_t> received;
    for (const tSetup& s : device.sent)
        received.insert(received.end(), s.data.begin(), s.data.end());
    EXPECT_EQ(received, bytes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CustomImage,
                         testing::Values(
                             //          name, length, full blocks, length of the last request
                             tCustomCase{"AuxiliaryImage", 15360, 60, 0}, tCustomCase{"PartialLastBlock", 300, 1, 44},
                             tCustomCase{"ShorterThanOneBlock", 5, 0, 5}, tCustomCase{"OneBlock", 256, 1, 0}),
                         [](const testing::TestParamInfo<tCustomCase>& info) { return info.param.name; });

TEST(CustomImageFailures, AFailedBlockEndsTheWrite)
{
    const std::vector<uint8_t> bytes = pattern(15360);
    {
        ScriptedDFUDevice device;
        device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
        for (uint16_t i = 0; i < 5; ++i)
            device.expect(customBlock(2, i, 256), ok());
        device.expect(customBlock(2, 5, 256), failed());
        EXPECT_FALSE(device.writeCustom(bytes.data(), 15360, 2));
        EXPECT_EQ(device.sent.size(), 6u);
    }
    {
        ScriptedDFUDevice device;
        device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
        device.expect(customBlock(1, 0, 256), ok());
        device.expect(customBlock(1, 1, 44), failed());
        EXPECT_FALSE(device.writeCustom(bytes.data(), 300, 1));
    }
}

TEST(CustomImageFailures, RefusedWithoutSending)
{
    const std::vector<uint8_t> bytes = pattern(300);
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, 0));
    EXPECT_FALSE(device.writeCustom(nullptr, 300, 1));
    EXPECT_FALSE(device.writeCustom(bytes.data(), 0, 1));
    ScriptedDFUDevice applicationMode;
    applicationMode.pretendConnected(interfaceInfo(DFUDevice::eModeApplication, 0));
    EXPECT_FALSE(applicationMode.writeCustom(bytes.data(), 300, 1));
    EXPECT_TRUE(device.sent.empty());
    EXPECT_TRUE(applicationMode.sent.empty());
}

struct tVersionCase {
    const char* name;
    uint8_t image;
    tReply reply;
    bool result;
    unsigned version;
};

void PrintTo(const tVersionCase& c, std::ostream* out) { *out << c.name; }

class CustomImageVersion : public testing::TestWithParam<tVersionCase> {};

TEST_P(CustomImageVersion, ReadsTwoBytesLittleEndian)
{
    const tVersionCase& c = GetParam();
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeApplication, 0));  // whatever the mode
    device.expect({0xC0, 0xB3, 0, static_cast<uint16_t>(0x1C + c.image), 2, {}}, c.reply);
    unsigned version = 0xDEAD;
    EXPECT_EQ(device.getCustomImageVersion(c.image, version), c.result);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(device.unusedExchanges(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Replies, CustomImageVersion,
                         testing::Values(
                             //           name, image index, reply, result, version afterwards
                             tVersionCase{"Auxiliary", 1, tReply{0, {0x67, 0x00}}, true, 0x67},
                             tVersionCase{"HighByte", 2, tReply{0, {0x34, 0x12}}, true, 0x1234},
                             tVersionCase{"ShortReply", 1, tReply{0, {0x67}}, false, 0xDEAD},
                             tVersionCase{"Stall", 1, failed(), false, 0xDEAD}),
                         [](const testing::TestParamInfo<tVersionCase>& info) { return info.param.name; });

TEST(CustomImageVersionNotConnected, Fails)
{
    DFUDevice device;
    unsigned version = 7;
    EXPECT_FALSE(device.getCustomImageVersion(1, version));
    EXPECT_EQ(version, 7u);
}

// --- back to dfuIDLE ------------------------------------------------------------------------------

// A device found in update mode where an interrupted update left it, brought back to dfuIDLE.
struct tIdleCase {
    const char* name;
    std::vector<tExchange> conversation;
    bool result;
    std::vector<std::chrono::milliseconds> waits;
};

void PrintTo(const tIdleCase& c, std::ostream* out) { *out << c.name; }

class ReturnToDFUIdle : public testing::TestWithParam<tIdleCase> {};

TEST_P(ReturnToDFUIdle, ClearsAbortsOrWaits)
{
    const tIdleCase& c = GetParam();
    SleepRecorder sleeps;
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeUpdate, DFU::kAttributeManifestationTolerant));
    for (const tExchange& exchange : c.conversation)
        device.expect(exchange.expected, exchange.reply);
    EXPECT_EQ(device.returnToDFUIdle(), c.result);
    EXPECT_EQ(device.unusedExchanges(), 0u);
    EXPECT_EQ(sleeps.waits(), c.waits);
}

const auto kIdle = status(0, DFU::eStateDfuIdle);

INSTANTIATE_TEST_SUITE_P(
    States, ReturnToDFUIdle,
    testing::Values(
        tIdleCase{"AlreadyIdle", {{getStatus(kInterface), kIdle}}, true, {}},
        tIdleCase{"Error",
                  {{getStatus(kInterface), status(DFU::eStatusErrWrite, DFU::eStateError)},
                   {classOut(0x04, 0, kInterface), ok()},
                   {getStatus(kInterface), kIdle}},
                  true,
                  {}},
        tIdleCase{"InTheMiddleOfADownload",
                  {{getStatus(kInterface), status(0, DFU::eStateDnBusy, 40)},
                   {getStatus(kInterface), status(0, DFU::eStateDnloadIdle)},
                   {classOut(0x06, 0, kInterface), ok()},
                   {getStatus(kInterface), kIdle}},
                  true,
                  {std::chrono::milliseconds(40)}},
        tIdleCase{"InTheMiddleOfTheManifestation",
                  {{getStatus(kInterface), status(0, DFU::eStateManifest, 300)},
                   {getStatus(kInterface), status(0, DFU::eStateManifestSync)},
                   {getStatus(kInterface), kIdle}},
                  true,
                  {std::chrono::milliseconds(300)}},
        tIdleCase{"WaitingForAReset", {{getStatus(kInterface), status(0, DFU::eStateManifestWaitReset)}}, false, {}},
        tIdleCase{"StatusFails", {{getStatus(kInterface), failed()}}, false, {}},
        tIdleCase{
            "AbortRefused",
            {{getStatus(kInterface), status(0, DFU::eStateDnloadIdle)}, {classOut(0x06, 0, kInterface), failed()}},
            false,
            {}}),
    [](const testing::TestParamInfo<tIdleCase>& info) { return info.param.name; });

TEST(ReturnToDFUIdleApplicationMode, SendsNothing)
{
    ScriptedDFUDevice device;
    device.pretendConnected(interfaceInfo(DFUDevice::eModeApplication, 0));
    EXPECT_FALSE(device.returnToDFUIdle());
    EXPECT_TRUE(device.sent.empty());
}

}  // namespace
}  // namespace QV::DVK2
