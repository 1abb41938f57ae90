#include "qvsim/model/Descriptors.h"

#include <gtest/gtest.h>

#include <vector>

namespace QV::SIM {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The descriptors of a configuration, split by their bLength; fails on a malformed chain.
std::vector<Bytes> split(const Bytes& configuration)
{
    std::vector<Bytes> parts;
    std::size_t offset = 0;
    while (offset < configuration.size()) {
        const std::uint8_t length = configuration[offset];
        EXPECT_GE(length, 2) << "at offset " << offset;
        EXPECT_LE(offset + length, configuration.size()) << "at offset " << offset;
        if (length < 2 || offset + length > configuration.size())
            break;
        parts.emplace_back(configuration.begin() + offset, configuration.begin() + offset + length);
        offset += length;
    }
    return parts;
}

ControllerConfig sampleConfig()
{
    ControllerConfig config;
    config.vendorId = 0x1234;
    config.productId = 0x1300;
    config.dfuAttributes = DFU::kCanDownload | DFU::kWillDetach;
    config.detachTimeOutMs = 0x01F4;
    config.transferSize = 0x0400;
    return config;
}

const Bytes kFunctional{9, 0x21, 0x09, 0xF4, 0x01, 0x00, 0x04, 0x10, 0x01};

TEST(DescriptorsTest, ApplicationModeHasHidThenDfuRunTimeFollowedByItsFunctionalDescriptor)
{
    const Bytes configuration = Descriptors::configuration(sampleConfig(), eMode::Application);
    ASSERT_GE(configuration.size(), 4u);
    EXPECT_EQ(configuration[2] | configuration[3] << 8, static_cast<int>(configuration.size()));  // wTotalLength

    const std::vector<Bytes> parts = split(configuration);
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(parts[0], (Bytes{9, 2, static_cast<std::uint8_t>(configuration.size()), 0, 2, 1, 0, 0x80, 50}));
    EXPECT_EQ(parts[1], (Bytes{9, 4, 0, 0, 1, 0x03, 0, 0, 0}));  // HID, one endpoint
    EXPECT_EQ(parts[2][1], 0x21);                                // HID class descriptor ...
    EXPECT_EQ(parts[2][7] | parts[2][8] << 8,
              static_cast<int>(Descriptors::hidReport().size()));  // ... announcing its report
    EXPECT_EQ(parts[3], (Bytes{7, 5, 0x81, 0x03, 64, 0, 8}));      // interrupt IN
    EXPECT_EQ(parts[4], (Bytes{9, 4, 1, 0, 0, 0xFE, 1, 1, 0}));    // DFU run-time
    EXPECT_EQ(parts[5], kFunctional);
    EXPECT_EQ(Descriptors::dfuInterface(eMode::Application), 1);
}

TEST(DescriptorsTest, UpdateModeHasOneDfuModeInterfaceFollowedByItsFunctionalDescriptor)
{
    const Bytes configuration = Descriptors::configuration(sampleConfig(), eMode::Update);
    const std::vector<Bytes> parts = split(configuration);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(configuration[2] | configuration[3] << 8, static_cast<int>(configuration.size()));
    EXPECT_EQ(parts[0][4], 1);                                   // bNumInterfaces
    EXPECT_EQ(parts[1], (Bytes{9, 4, 0, 0, 0, 0xFE, 1, 2, 0}));  // DFU mode
    EXPECT_EQ(parts[2], kFunctional);
    EXPECT_EQ(Descriptors::dfuInterface(eMode::Update), 0);
}

TEST(DescriptorsTest, DeviceDescriptorCarriesIdentityAndTheModesProductId)
{
    const ControllerConfig config = sampleConfig();
    EXPECT_EQ(Descriptors::device(config, eMode::Application, 0x0020, true),
              (Bytes{18, 1, 0x00, 0x02, 0, 0, 0, 64, 0x34, 0x12, 0x00, 0x13, 0x20, 0x00, 1, 2, 3, 1}));
    EXPECT_EQ(Descriptors::device(config, eMode::Update, 0x0021, false),
              (Bytes{18, 1, 0x00, 0x02, 0, 0, 0, 64, 0x34, 0x12, 0x02, 0x13, 0x21, 0x00, 0, 0, 0, 1}));
}

TEST(DescriptorsTest, StringsAreUtf16LittleEndian)
{
    EXPECT_EQ(Descriptors::languages(), (Bytes{4, 3, 0x09, 0x04}));
    EXPECT_EQ(Descriptors::string(""), (Bytes{2, 3}));
    EXPECT_EQ(Descriptors::string("Ab"), (Bytes{6, 3, 'A', 0, 'b', 0}));
    // U+00E9 (2 UTF-8 bytes) and U+1F600 (a surrogate pair); a stray continuation byte becomes U+FFFD.
    EXPECT_EQ(Descriptors::string("\xC3\xA9\xF0\x9F\x98\x80\x80"),
              (Bytes{10, 3, 0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0xFD, 0xFF}));
    // 126 code units fit in a descriptor (bLength 254).
    EXPECT_EQ(Descriptors::string(std::string(300, 'x')).size(), 254u);
}

}  // namespace
}  // namespace QV::SIM
