#pragma once

#include <cstdint>

// DFU 1.1 numbers as the simulated controller speaks them.
namespace QV::SIM::DFU {

// Class requests (bmRequestType 0x21 out, 0xA1 in; wIndex = the DFU interface).
enum eRequest : std::uint8_t {
    eDetach = 0,
    eDnload = 1,
    eUpload = 2,
    eGetStatus = 3,
    eClrStatus = 4,
    eGetState = 5,
    eAbort = 6,
};

enum eState : std::uint8_t {
    eAppIdle = 0,
    eAppDetach = 1,
    eDfuIdle = 2,
    eDnloadSync = 3,
    eDnBusy = 4,
    eDnloadIdle = 5,
    eManifestSync = 6,
    eManifest = 7,
    eManifestWaitReset = 8,
    eUploadIdle = 9,
    eDfuError = 10,
};

enum eStatus : std::uint8_t {
    eOk = 0x00,
    eErrTarget = 0x01,
    eErrFile = 0x02,
    eErrWrite = 0x03,
    eErrErase = 0x04,
    eErrCheckErased = 0x05,
    eErrProg = 0x06,
    eErrVerify = 0x07,
    eErrAddress = 0x08,
    eErrNotDone = 0x09,
    eErrFirmware = 0x0A,
    eErrVendor = 0x0B,
    eErrUsbReset = 0x0C,
    eErrPowerOnReset = 0x0D,
    eErrUnknown = 0x0E,
    eErrStalledPacket = 0x0F,
};

// bmAttributes of the DFU functional descriptor.
constexpr std::uint8_t kCanDownload = 0x01;
constexpr std::uint8_t kCanUpload = 0x02;
constexpr std::uint8_t kManifestationTolerant = 0x04;
constexpr std::uint8_t kWillDetach = 0x08;

constexpr std::uint8_t kFunctionalDescriptorType = 0x21;
constexpr std::uint16_t kVersion = 0x0110;
constexpr std::uint8_t kGetStatusLength = 6;

// "dfuDNBUSY", "appIDLE", ...; "state outside DFU 1.1" for any other number.
const char* stateName(std::uint8_t state);

}  // namespace QV::SIM::DFU
