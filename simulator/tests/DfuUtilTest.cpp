// Cross-check with dfu-util, an independent DFU host, running as a child of the test (it inherits
// umockdev's preload and the testbed).
#include "qvsim/testing/SimulatedBusTest.h"

#include "QVTest/RunCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;
using QV::TEST::runCommand;
using QV::TEST::tRun;
using Bytes = std::vector<std::uint8_t>;

tRun run(const std::string& arguments) { return runCommand(std::string(QV_DFU_UTIL) + " " + arguments); }

std::string hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof(text), "%04x", value);
    return text;
}

class DfuUtilTest : public SimulatedBusTest {
protected:
    void TearDown() override
    {
        if (!m_file.empty())
            std::remove(m_file.c_str());
        SimulatedBusTest::TearDown();
    }

    std::string writeImage(const Bytes& image)
    {
        char path[] = "/tmp/qv-sim-image-XXXXXX";
        const int fd = mkstemp(path);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(write(fd, image.data(), image.size()), static_cast<ssize_t>(image.size()));
        close(fd);
        m_file = path;
        return m_file;
    }

    // A controller in update mode whose delays are all zero: dfu-util sleeps for real, the clock is virtual.
    static ControllerConfig quickUpdateMode()
    {
        ControllerConfig config;
        config.initialMode = eMode::Update;
        config.transferSize = 1024;
        config.pollTimeoutMs = 0;
        config.manifestationTime = 0ms;
        return config;
    }

    static Bytes image(std::size_t size)
    {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
        return bytes;
    }

    std::string m_file;
};

TEST_F(DfuUtilTest, ListsTheControllerInBothModes)
{
    ControllerConfig second = quickUpdateMode();
    second.serialNumber = "VDX2024000002";
    auto application = plugController();
    auto update = plugController(second);

    const tRun listing = run("-l");
    ASSERT_EQ(listing.status, 0) << listing.output;
    const std::string vendor = hex4(application->config().vendorId);
    EXPECT_NE(listing.output.find("Found Runtime: [" + vendor + ":1300] ver=0020, devnum=" +
                                  std::to_string(bus().address(*application)->device) + ", cfg=1, intf=1"),
              std::string::npos)
        << listing.output;
    EXPECT_NE(listing.output.find("Found DFU: [" + vendor + ":1302] ver=0020, devnum=" +
                                  std::to_string(bus().address(*update)->device) + ", cfg=1, intf=0"),
              std::string::npos)
        << listing.output;
    EXPECT_NE(listing.output.find("serial=\"VDX2024000001\""), std::string::npos);
    EXPECT_NE(listing.output.find("serial=\"VDX2024000002\""), std::string::npos);
}

TEST_F(DfuUtilTest, DownloadsAnImageThatTheControllerAssemblesByteForByte)
{
    ControllerConfig config = quickUpdateMode();
    config.expectedMainImage = image(5000);
    auto controller = plugController(config);
    const std::string file = writeImage(config.expectedMainImage);

    const tRun download = run("-D " + file + " -E 1");

    ASSERT_EQ(download.status, 0) << download.output;
    EXPECT_EQ(controller->receivedMainImage(), config.expectedMainImage);
    EXPECT_EQ(controller->dfuState(), DFU::eDfuIdle);
    std::vector<std::uint16_t> blocks;
    for (const tLoggedRequest& entry : controller->requestLog()) {
        const tSetupPacket setup = tSetupPacket::fromBytes(entry.setup);
        if (setup.bmRequestType == 0x21 && setup.bRequest == DFU::eDnload && setup.wLength > 0)
            blocks.push_back(setup.wValue);
    }
    EXPECT_EQ(blocks, (std::vector<std::uint16_t>{0, 1, 2, 3, 4}));
}

TEST_F(DfuUtilTest, ReportsTheControllersErrorStatus)
{
    ControllerConfig config = quickUpdateMode();
    config.faults.statusError = tStatusFault{DFU::eErrWrite, 2};
    auto controller = plugController(config);
    const std::string file = writeImage(image(5000));

    const tRun download = run("-D " + file + " -E 1");

    EXPECT_NE(download.status, 0) << download.output;
    EXPECT_NE(download.output.find("dfuERROR"), std::string::npos) << download.output;
    EXPECT_EQ(controller->dfuState(), DFU::eDfuError);
    EXPECT_EQ(controller->receivedMainImage().size(), 3u * 1024);
}

}  // namespace
}  // namespace QV::SIM
