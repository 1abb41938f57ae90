#include "ModelDriver.h"

#include "qvsim/model/RequestLog.h"

#include <gtest/gtest.h>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;

ControllerConfig inMode(eMode mode)
{
    ControllerConfig config;
    config.initialMode = mode;
    return config;
}

TEST(ControllerRequestsTest, DescriptorRequestsAnswerAtMostWLength)
{
    for (eMode mode : {eMode::Application, eMode::Update}) {
        SCOPED_TRACE(mode == eMode::Application ? "application" : "update");
        ModelDriver driver(inMode(mode));
        const ControllerConfig& config = driver.model->config();
        const Bytes device = Descriptors::device(config, mode, 0x0020, true);
        const Bytes configuration = Descriptors::configuration(config, mode);

        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0100, 0, 256).data, device);
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0100, 0, 8).data, Bytes(device.begin(), device.begin() + 8));
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0200, 0, 9).data,
                  Bytes(configuration.begin(), configuration.begin() + 9));
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0200, 0, 1024).data, configuration);
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0201, 0, 255).outcome,
                  eOutcome::Stalled);                                                               // one configuration
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0600, 0, 10).outcome, eOutcome::Stalled);  // no qualifier
    }
}

TEST(ControllerRequestsTest, StringsForAnyLanguageIdAndStallForUnknownIndices)
{
    ModelDriver driver;
    EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0300, 0, 255).data, Descriptors::languages());
    for (std::uint16_t language : {0x0000, 0x0409, 0x0407}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0301, language, 255).data, Descriptors::string("Orvendal"));
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0302, language, 255).data,
                  Descriptors::string("Vardolin Studio"));
        EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0303, language, 255).data,
                  Descriptors::string("VDX2024000001"));
    }
    EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0303, 0, 4).data, Bytes({28, 3, 'V', 0}));
    EXPECT_EQ(driver.in(0x80, REQ::kGetDescriptor, 0x0304, 0, 255).outcome, eOutcome::Stalled);
}

TEST(ControllerRequestsTest, StandardRequestsAsADeviceAnswersThem)
{
    ModelDriver driver;
    EXPECT_EQ(driver.in(0x80, REQ::kGetStatus, 0, 0, 2).data, (Bytes{0, 0}));
    EXPECT_EQ(driver.in(0x81, REQ::kGetStatus, 0, 1, 2).data, (Bytes{0, 0}));
    EXPECT_EQ(driver.in(0x81, REQ::kGetStatus, 0, 2, 2).outcome, eOutcome::Stalled);  // no interface 2
    EXPECT_EQ(driver.in(0x82, REQ::kGetStatus, 0, 0x81, 2).data, (Bytes{0, 0}));
    EXPECT_EQ(driver.in(0x82, REQ::kGetStatus, 0, 0x02, 2).outcome, eOutcome::Stalled);

    EXPECT_EQ(driver.in(0x80, REQ::kGetConfiguration, 0, 0, 1).data, (Bytes{1}));
    EXPECT_EQ(driver.out(0x00, REQ::kSetConfiguration, 0, 0).outcome, eOutcome::Answered);
    EXPECT_EQ(driver.in(0x80, REQ::kGetConfiguration, 0, 0, 1).data, (Bytes{0}));
    EXPECT_EQ(driver.out(0x01, REQ::kSetInterface, 0, 1).outcome, eOutcome::Stalled);  // not configured
    EXPECT_EQ(driver.out(0x00, REQ::kSetConfiguration, 1, 0).outcome, eOutcome::Answered);
    EXPECT_EQ(driver.out(0x00, REQ::kSetConfiguration, 2, 0).outcome, eOutcome::Stalled);
    EXPECT_EQ(driver.out(0x01, REQ::kSetInterface, 0, 1).outcome, eOutcome::Answered);
    EXPECT_EQ(driver.out(0x01, REQ::kSetInterface, 1, 1).outcome, eOutcome::Stalled);  // one alternate setting
    EXPECT_EQ(driver.in(0x81, REQ::kGetInterface, 0, 0, 1).data, (Bytes{0}));

    EXPECT_EQ(driver.in(0x81, REQ::kGetDescriptor, 0x2200, 0, 255).data, Descriptors::hidReport());
    EXPECT_EQ(driver.in(0x81, REQ::kGetDescriptor, 0x2200, 1, 255).outcome, eOutcome::Stalled);
}

TEST(ControllerRequestsTest, AuxiliaryVersionIsReadInBothModes)
{
    for (eMode mode : {eMode::Application, eMode::Update}) {
        ModelDriver driver(inMode(mode));
        EXPECT_EQ(driver.in(0xC0, REQ::kCustomImageVersion, 0, 0x1D, 2).data, (Bytes{0x66, 0x00}));
        EXPECT_EQ(driver.in(0xC0, REQ::kCustomImageVersion, 0, 0x1D, 1).data, (Bytes{0x66}));
        EXPECT_EQ(driver.in(0xC0, REQ::kCustomImageVersion, 0, 0x1C, 2).outcome, eOutcome::Stalled);  // image 0
        EXPECT_EQ(driver.in(0xC1, REQ::kCustomImageVersion, 0, 0x1D, 2).outcome, eOutcome::Stalled);
    }
}

TEST(ControllerRequestsTest, AuxiliaryImageIsAssembledAndBringsItsVersionAtOnce)
{
    ControllerConfig config = inMode(eMode::Update);
    config.expectedAuxImage = pattern(15360, 3);
    ModelDriver driver(config);

    for (std::uint16_t block = 0; block < 60; ++block) {
        const auto begin = config.expectedAuxImage.begin() + block * 256;
        ASSERT_EQ(driver.writeCustom(block, Bytes(begin, begin + 256)).outcome, eOutcome::Answered);
    }
    EXPECT_EQ(driver.auxVersion(), 0x66);  // a multiple of 256: the empty block ends it
    ASSERT_EQ(driver.writeCustom(60, {}).outcome, eOutcome::Answered);

    EXPECT_EQ(driver.model->receivedAuxImage(), config.expectedAuxImage);
    EXPECT_EQ(driver.auxVersion(), 0x67);
}

TEST(ControllerRequestsTest, AuxiliaryImageWritesThatAreRefusedOrDoNotMatch)
{
    struct tCase {
        const char* name;
        eMode mode;
        std::vector<std::pair<std::uint16_t, Bytes>> blocks;
        eOutcome lastOutcome;
    };
    const Bytes expected = pattern(300);
    Bytes flipped(expected.begin() + 256, expected.end());
    flipped[20] ^= 0x80;
    const tCase cases[] = {
        {"one byte differs", eMode::Update, {{0, pattern(256)}, {1, flipped}}, eOutcome::Answered},
        {"one byte short",
         eMode::Update,
         {{0, pattern(256)}, {1, Bytes(expected.begin() + 256, expected.end() - 1)}},
         eOutcome::Answered},
        {"block skipped",
         eMode::Update,
         {{0, pattern(256)}, {2, Bytes(expected.begin() + 256, expected.end())}},
         eOutcome::Stalled},
        {"block too large", eMode::Update, {{0, pattern(257)}}, eOutcome::Stalled},
        {"application mode", eMode::Application, {{0, pattern(256)}}, eOutcome::Stalled},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerConfig config = inMode(c.mode);
        config.expectedAuxImage = expected;
        ModelDriver driver(config);
        tControlReply reply;
        for (const auto& [block, data] : c.blocks)
            reply = driver.writeCustom(block, data);
        EXPECT_EQ(reply.outcome, c.lastOutcome);
        EXPECT_EQ(driver.auxVersion(), 0x66);
    }
    // The wrong interface is refused too.
    ModelDriver driver(inMode(eMode::Update));
    EXPECT_EQ(driver.out(0x41, 0x1D, 0, 1, pattern(10)).outcome, eOutcome::Stalled);
}

TEST(ControllerRequestsTest, LogRecordsEveryRequestUntilCleared)
{
    ModelDriver driver(inMode(eMode::Update));
    driver.clock.advance(2ms);
    driver.dnload(0, pattern(16));
    driver.clock.advance(1ms);
    driver.in(0x80, REQ::kGetDescriptor, 0x0304, 0, 255);
    driver.model->busReset();
    driver.getStatus();

    const std::vector<tLoggedRequest> log = driver.model->requestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].time, 2ms);
    EXPECT_EQ(log[0].mode, eMode::Update);
    EXPECT_EQ(log[0].setup, (std::array<std::uint8_t, 8>{0x21, 0x01, 0, 0, 0, 0, 16, 0}));
    EXPECT_EQ(log[0].dataLength, 16u);
    EXPECT_EQ(log[0].outcome, eOutcome::Answered);
    EXPECT_EQ(log[1].time, 3ms);
    EXPECT_EQ(log[1].outcome, eOutcome::Stalled);
    EXPECT_EQ(log[1].dataLength, 0u);
    EXPECT_EQ(log[2].outcome, eOutcome::Absent);  // reset: off the bus

    EXPECT_EQ(formatLoggedRequest(log[0]),
              "     2.000 ms  update       21 01 0000 0000 0010  DFU_DNLOAD                  16 bytes  answered");

    driver.model->clearRequestLog();
    EXPECT_TRUE(driver.model->requestLog().empty());
}

}  // namespace
}  // namespace QV::SIM
