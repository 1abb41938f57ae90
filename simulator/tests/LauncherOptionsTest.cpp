#include "LauncherOptions.h"

#include <gtest/gtest.h>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;

std::optional<tLauncherOptions> parse(std::vector<std::string> arguments, std::string* error = nullptr)
{
    std::string message;
    auto options = parseLauncherOptions(arguments, message);
    if (error)
        *error = message;
    return options;
}

TEST(LauncherOptionsTest, DefaultsAndTheCommand)
{
    const auto options = parse({"dfu-util", "-l", "--log"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->command, (std::vector<std::string>{"dfu-util", "-l", "--log"}));  // options end at the command
    EXPECT_EQ(options->count, 1u);
    EXPECT_FALSE(options->log);
    EXPECT_EQ(options->controller.serialNumber, "VDX2024000001");
    EXPECT_EQ(options->controller.mainVersion, 0x20);

    const auto afterDashes = parse({"--log", "--", "--weird-program"});
    ASSERT_TRUE(afterDashes);
    EXPECT_TRUE(afterDashes->log);
    EXPECT_EQ(afterDashes->command, (std::vector<std::string>{"--weird-program"}));
}

TEST(LauncherOptionsTest, ControllerValuesAndFaults)
{
    const auto options = parse({"--count",
                                "3",
                                "--serial=ABC0099",
                                "--main-version",
                                "0x21",
                                "--aux-version",
                                "103",
                                "--transfer-size",
                                "512",
                                "--poll-timeout",
                                "5000",
                                "--not-tolerant",
                                "--no-will-detach",
                                "--reenumeration-delay",
                                "250",
                                "--manifestation-time=20",
                                "--update-mode",
                                "--stall",
                                "dnload:3",
                                "--stall",
                                "0x80/0x06",
                                "--never-answer",
                                "GETSTATUS",
                                "--busy-forever",
                                "--stuck-in-manifest",
                                "--error-status",
                                "3:7",
                                "--getstatus-length",
                                "4",
                                "--short-device-descriptor",
                                "--no-strings",
                                "--stall-strings",
                                "--lost-reenumeration=2",
                                "--late-reenumeration",
                                "9000",
                                "--other-serial",
                                "XYZ",
                                "--main-image",
                                "m.bin",
                                "--aux-image",
                                "a.bin",
                                "--log",
                                "true"});
    ASSERT_TRUE(options);
    const ControllerConfig& c = options->controller;
    EXPECT_EQ(options->count, 3u);
    EXPECT_EQ(c.serialNumber, "ABC0099");
    EXPECT_EQ(c.mainVersion, 0x21);
    EXPECT_EQ(c.auxVersion, 103);
    EXPECT_EQ(c.transferSize, 512);
    EXPECT_EQ(c.pollTimeoutMs, 5000u);
    EXPECT_EQ(c.dfuAttributes, DFU::kCanDownload);
    EXPECT_EQ(c.reenumerationDelay, 250ms);
    EXPECT_EQ(c.manifestationTime, 20ms);
    EXPECT_EQ(c.initialMode, eMode::Update);
    ASSERT_EQ(c.faults.stall.size(), 2u);
    EXPECT_EQ(c.faults.stall[0].bmRequestType, 0x21);
    EXPECT_EQ(c.faults.stall[0].bRequest, DFU::eDnload);
    EXPECT_EQ(c.faults.stall[0].occurrence, 3u);
    EXPECT_EQ(c.faults.stall[1].bmRequestType, 0x80);
    EXPECT_EQ(c.faults.stall[1].bRequest, 0x06);
    EXPECT_EQ(c.faults.stall[1].occurrence, 0u);
    ASSERT_EQ(c.faults.neverAnswer.size(), 1u);
    EXPECT_EQ(c.faults.neverAnswer[0].bmRequestType, 0xA1);
    EXPECT_TRUE(c.faults.busyForever);
    EXPECT_TRUE(c.faults.stuckInManifest);
    ASSERT_TRUE(c.faults.statusError);
    EXPECT_EQ(c.faults.statusError->status, 3);
    EXPECT_EQ(c.faults.statusError->block, 7);
    EXPECT_EQ(c.faults.getStatusLength, 4);
    EXPECT_EQ(c.faults.deviceDescriptorLength, 8);
    EXPECT_TRUE(c.faults.noStrings);
    EXPECT_TRUE(c.faults.stallStrings);
    EXPECT_EQ(c.faults.lostReenumeration, 2u);
    EXPECT_EQ(c.faults.lateReenumeration, 1u);
    EXPECT_EQ(c.faults.lateReenumerationDelay, 9000ms);
    EXPECT_EQ(c.faults.serialAfterReenumeration, "XYZ");
    EXPECT_EQ(options->mainImageFile, "m.bin");
    EXPECT_EQ(options->auxImageFile, "a.bin");
    EXPECT_TRUE(options->log);
    EXPECT_EQ(options->command, (std::vector<std::string>{"true"}));

    const auto manifest = parse({"--error-status", "7:manifest", "x"});
    ASSERT_TRUE(manifest && manifest->controller.faults.statusError);
    EXPECT_EQ(manifest->controller.faults.statusError->block, tStatusFault::kAtManifestation);
}

TEST(LauncherOptionsTest, RejectsMalformedCommandLines)
{
    const std::vector<std::vector<std::string>> bad = {
        {},                     // no command
        {"--log"},              // no command
        {"--frobnicate", "x"},  // unknown option
        {"--count"},            // value missing
        {"--count", "0", "x"},  // no controller
        {"--count", "-2", "x"},
        {"--main-version", "0x10000", "x"},  // beyond 16 bits
        {"--transfer-size", "12abc", "x"},
        {"--log=yes", "x"},            // a flag takes no value
        {"--stall", "DNLOAD:0", "x"},  // occurrences count from 1
        {"--stall", "FROB", "x"},
        {"--stall", "0x121/0x01", "x"},
        {"--error-status", "3:end", "x"},
        {"--getstatus-length", "7", "x"},
        {"--serial", "", "x"},
    };
    for (const auto& arguments : bad) {
        std::string joined;
        for (const auto& argument : arguments)
            joined += argument + " ";
        SCOPED_TRACE(joined);
        std::string error;
        EXPECT_FALSE(parse(arguments, &error));
        EXPECT_FALSE(error.empty());
    }
    const auto help = parse({"--help"});
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->help);
}

// The interruption at a request: the first occurrence unless one is named, SIGKILL unless another
// signal is named; the runs of the command.
TEST(LauncherOptionsTest, InterruptionAndRuns)
{
    const auto plain = parse({"--signal-at", "DETACH", "x"});
    ASSERT_TRUE(plain && plain->signalAt);
    EXPECT_EQ(plain->signalAt->bRequest, DFU::eDetach);
    EXPECT_EQ(plain->signalAt->occurrence, 1u);
    EXPECT_EQ(plain->signal, SIGKILL);
    EXPECT_EQ(plain->runs, 1u);

    const auto named = parse({"--signal-at=dnload:5", "--signal", "TERM", "--runs", "2", "x"});
    ASSERT_TRUE(named && named->signalAt);
    EXPECT_EQ(named->signalAt->bRequest, DFU::eDnload);
    EXPECT_EQ(named->signalAt->occurrence, 5u);
    EXPECT_EQ(named->signal, SIGTERM);
    EXPECT_EQ(named->runs, 2u);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--signal", "HUP", "x"}, {"--signal-at", "FROB", "x"}, {"--runs", "0", "x"}}) {
        std::string error;
        EXPECT_FALSE(parse(bad, &error)) << bad[0] << " " << bad[1];
        EXPECT_FALSE(error.empty());
    }
}

TEST(LauncherOptionsTest, AMissingValueIsNotTakenFromTheNextOption)
{
    // A word that starts with "--" is the next option or the "--" before the command: the option
    // before it has no value, whatever the command would be.
    const std::vector<std::vector<std::string>> missing = {
        {"--stall", "--", "true"},
        {"--stall", "--log", "--", "true"},
        {"--serial", "--count", "2", "true"},
        {"--main-image", "--", "true"},
    };
    for (const auto& arguments : missing) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        std::string error;
        EXPECT_FALSE(parse(arguments, &error));
        EXPECT_EQ(error, arguments[0] + " needs a value");
    }
    // A single dash is a value: the parser of the option judges it.
    const auto serial = parse({"--serial", "-A1", "true"});
    ASSERT_TRUE(serial);
    EXPECT_EQ(serial->controller.serialNumber, "-A1");
}

TEST(LauncherOptionsTest, NumberedSerials)
{
    EXPECT_EQ(numberedSerial("VDX2024000001", 0), "VDX2024000001");
    EXPECT_EQ(numberedSerial("VDX2024000001", 1), "VDX2024000002");
    EXPECT_EQ(numberedSerial("VDX0099", 1), "VDX0100");
    EXPECT_EQ(numberedSerial("A9", 1), "A10");
    EXPECT_EQ(numberedSerial("SERIAL", 2), "SERIAL-3");
}

}  // namespace
}  // namespace QV::SIM
