#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace QV::SIM {

// The 8-byte setup packet of a control transfer.
struct tSetupPacket {
    std::uint8_t bmRequestType = 0;
    std::uint8_t bRequest = 0;
    std::uint16_t wValue = 0;
    std::uint16_t wIndex = 0;
    std::uint16_t wLength = 0;

    static tSetupPacket fromBytes(const std::array<std::uint8_t, 8>& bytes);
    std::array<std::uint8_t, 8> toBytes() const;

    bool isDeviceToHost() const { return (bmRequestType & 0x80) != 0; }
};

// Request codes of the controller besides the DFU ones (Dfu.h).
namespace REQ {
constexpr std::uint8_t kGetStatus = 0x00;
constexpr std::uint8_t kClearFeature = 0x01;
constexpr std::uint8_t kSetFeature = 0x03;
constexpr std::uint8_t kGetDescriptor = 0x06;
constexpr std::uint8_t kGetConfiguration = 0x08;
constexpr std::uint8_t kSetConfiguration = 0x09;
constexpr std::uint8_t kGetInterface = 0x0A;
constexpr std::uint8_t kSetInterface = 0x0B;

// XMOS extensions: class requests on the DFU interface.
constexpr std::uint8_t kXmosResetIntoDfu = 0xF2;
constexpr std::uint8_t kXmosResetFromDfu = 0xF3;

// Vendor requests of the auxiliary image: write (0x41, 0x1C + image) and version (0xC0, wIndex 0x1C + image).
constexpr std::uint8_t kCustomImageBase = 0x1C;
constexpr std::uint8_t kCustomImageVersion = 0xB3;
constexpr std::uint16_t kCustomImageBlockSize = 256;
}  // namespace REQ

// A short readable name of a request: "DFU_DNLOAD", "GET_DESCRIPTOR(STRING)", "CUSTOM_WRITE", ...
// `dfuInterface` tells which interface takes the DFU class requests.
std::string requestName(const tSetupPacket& setup, std::uint16_t dfuInterface);

}  // namespace QV::SIM
