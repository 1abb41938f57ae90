// Finding the DFU interface in configuration descriptors of real shapes and malformed ones.
#include "DFUInterfaceDescriptor.h"
#include "DFUScriptedDevice.h"

#include "DVK2/DFUDevice.h"

#include <gtest/gtest.h>

#include <vector>

namespace QV::DVK2 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes configuration(std::initializer_list<Bytes> descriptors)
{
    Bytes config = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
    for (const Bytes& d : descriptors)
        config.insert(config.end(), d.begin(), d.end());
    config[2] = static_cast<uint8_t>(config.size());
    config[3] = static_cast<uint8_t>(config.size() >> 8);
    return config;
}

Bytes interface(uint8_t number, uint8_t cls, uint8_t subClass, uint8_t protocol)
{
    return {9, 4, number, 0, 0, cls, subClass, protocol, 0};
}
Bytes dfuInterface(uint8_t number, uint8_t protocol) { return interface(number, 0xFE, 1, protocol); }
Bytes functional(uint8_t attributes, uint16_t detach, uint16_t transfer)
{
    return {9,    0x21, attributes, uint8_t(detach), uint8_t(detach >> 8), uint8_t(transfer), uint8_t(transfer >> 8),
            0x10, 0x01};
}
const Bytes kEndpoint = {7, 5, 0x81, 3, 8, 0, 1};
const Bytes kAudioInterface = {9, 4, 0, 0, 1, 1, 1, 0, 0};

struct tCase {
    const char* name;
    Bytes config;
    bool found;
    DFU::tInterfaceInfo expected;  // when found
};

void PrintTo(const tCase& c, std::ostream* out) { *out << c.name; }

class FindDFUInterface : public testing::TestWithParam<tCase> {};

TEST_P(FindDFUInterface, Walk)
{
    const tCase& c = GetParam();
    DFU::tInterfaceInfo info{9, 9, 9, 9, 9};  // untouched unless found
    ASSERT_EQ(DFU::findInterface(c.config.data(), static_cast<unsigned>(c.config.size()), info), c.found);
    const DFU::tInterfaceInfo& e = c.found ? c.expected : DFU::tInterfaceInfo{9, 9, 9, 9, 9};
    EXPECT_EQ(info.mode, e.mode);
    EXPECT_EQ(info.bmAttributes, e.bmAttributes);
    EXPECT_EQ(info.wDetachTimeOut, e.wDetachTimeOut);
    EXPECT_EQ(info.wTransferSize, e.wTransferSize);
    EXPECT_EQ(info.interfaceNumber, e.interfaceNumber);
}

Bytes truncated(Bytes config, size_t drop)
{
    config.resize(config.size() - drop);
    config[2] = static_cast<uint8_t>(config.size());
    return config;
}

Bytes withZeroLength(Bytes config, size_t at)
{
    config[at] = 0;
    return config;
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, FindDFUInterface,
    testing::Values(
        //     name, configuration, found, {mode, attributes, detach, transfer, interface}
        tCase{"ApplicationMode",
              configuration({kAudioInterface, kEndpoint, dfuInterface(3, 1), functional(0x0B, 250, 4096)}),
              true,
              {1, 0x0B, 250, 4096, 3}},
        tCase{"UpdateMode",
              configuration({dfuInterface(0, 2), functional(0x04, 1000, 8191)}),
              true,
              {2, 0x04, 1000, 8191, 0}},
        tCase{"ProtocolZeroInterfaceZeroIsUpdateMode",
              configuration({dfuInterface(0, 0), functional(0, 0, 64)}),
              true,
              {2, 0, 0, 64, 0}},
        tCase{"ProtocolZeroOtherInterfaceIsApplicationMode",
              configuration({kAudioInterface, dfuInterface(1, 0), functional(0, 0, 64)}),
              true,
              {1, 0, 0, 64, 1}},
        tCase{"ShortestFunctionalDescriptor",
              configuration({dfuInterface(0, 2), Bytes{7, 0x21, 0x0C, 0x10, 0x27, 0x00, 0x02}}),
              true,
              {2, 0x0C, 10000, 512, 0}},
        tCase{"FirstMatchWins",
              configuration({dfuInterface(2, 1), functional(1, 1, 1), dfuInterface(4, 2), functional(2, 2, 2)}),
              true,
              {1, 1, 1, 1, 2}},
        tCase{"InterfaceWithoutFunctionalIsSkipped",
              configuration({dfuInterface(1, 1), kEndpoint, dfuInterface(2, 1), functional(8, 5, 6)}),
              true,
              {1, 8, 5, 6, 2}},
        tCase{"NoDFUInterface", configuration({kAudioInterface, kEndpoint}), false, {}},
        tCase{"OtherClass", configuration({interface(0, 0xFF, 1, 2), functional(0, 0, 64)}), false, {}},
        tCase{"OtherSubClass", configuration({interface(0, 0xFE, 2, 2), functional(0, 0, 64)}), false, {}},
        tCase{"ProtocolThree", configuration({dfuInterface(0, 3), functional(0, 0, 64)}), false, {}},
        tCase{"FunctionalTooShort", configuration({dfuInterface(0, 2), Bytes{6, 0x21, 0, 0, 0, 0}}), false, {}},
        tCase{"InterfaceTooShort", configuration({Bytes{8, 4, 0, 0, 0, 0xFE, 1, 2}, functional(0, 0, 64)}), false, {}},
        tCase{"InterfaceLastInDescriptor", configuration({kAudioInterface, dfuInterface(0, 2)}), false, {}},
        tCase{"FunctionalCutByTotalLength",
              truncated(configuration({dfuInterface(0, 2), functional(0, 0, 64)}), 3),
              false,
              {}},
        tCase{"ZeroLengthDescriptorEndsTheWalk",
              withZeroLength(configuration({kEndpoint, dfuInterface(0, 2), functional(0, 0, 64)}), 9),
              false,
              {}}),
    [](const testing::TestParamInfo<tCase>& info) { return info.param.name; });

TEST(FindDFUInterfaceInput, EmptyOrNullDescriptor)
{
    DFU::tInterfaceInfo info;
    EXPECT_FALSE(DFU::findInterface(nullptr, 100, info));
    const uint8_t zero[2] = {0, 2};
    EXPECT_FALSE(DFU::findInterface(zero, 2, info));
    const uint8_t tooLong[2] = {9, 2};
    EXPECT_FALSE(DFU::findInterface(tooLong, 2, info));
}

TEST(QueryDFUInfo, WithoutAConfigurationDescriptorFailsAndKeepsTheFields)
{
    Testing::ScriptedDFUDevice device;
    device.pretendConnected(Testing::updateMode(4096, 0x0C, 700, 5));
    EXPECT_FALSE(device.queryDFUInfo());
    EXPECT_EQ(device.mode(), DFUDevice::eModeUpdate);
    EXPECT_EQ(device.attributes(), 0x0C);
    EXPECT_EQ(device.detachTimeOut(), 700);
    EXPECT_EQ(device.transferSize(), 4096);
    EXPECT_EQ(device.interfaceNumber(), 5);
    EXPECT_TRUE(device.sent.empty());
}

}  // namespace
}  // namespace QV::DVK2
