#include "qvsim/model/SetupPacket.h"

#include "qvsim/model/Dfu.h"

namespace QV::SIM {

tSetupPacket tSetupPacket::fromBytes(const std::array<std::uint8_t, 8>& bytes)
{
    tSetupPacket setup;
    setup.bmRequestType = bytes[0];
    setup.bRequest = bytes[1];
    setup.wValue = static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8);
    setup.wIndex = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
    setup.wLength = static_cast<std::uint16_t>(bytes[6] | bytes[7] << 8);
    return setup;
}

std::array<std::uint8_t, 8> tSetupPacket::toBytes() const
{
    return {bmRequestType,
            bRequest,
            static_cast<std::uint8_t>(wValue & 0xFF),
            static_cast<std::uint8_t>(wValue >> 8),
            static_cast<std::uint8_t>(wIndex & 0xFF),
            static_cast<std::uint8_t>(wIndex >> 8),
            static_cast<std::uint8_t>(wLength & 0xFF),
            static_cast<std::uint8_t>(wLength >> 8)};
}

namespace {

std::string standardName(const tSetupPacket& setup)
{
    switch (setup.bRequest) {
    case REQ::kGetStatus: return "GET_STATUS";
    case REQ::kClearFeature: return "CLEAR_FEATURE";
    case REQ::kSetFeature: return "SET_FEATURE";
    case REQ::kGetDescriptor:
        switch (setup.wValue >> 8) {
        case 1: return "GET_DESCRIPTOR(DEVICE)";
        case 2: return "GET_DESCRIPTOR(CONFIGURATION)";
        case 3: return "GET_DESCRIPTOR(STRING)";
        case 0x21: return "GET_DESCRIPTOR(HID)";
        case 0x22: return "GET_DESCRIPTOR(REPORT)";
        default: return "GET_DESCRIPTOR";
        }
    case REQ::kGetConfiguration: return "GET_CONFIGURATION";
    case REQ::kSetConfiguration: return "SET_CONFIGURATION";
    case REQ::kGetInterface: return "GET_INTERFACE";
    case REQ::kSetInterface: return "SET_INTERFACE";
    default: return "STANDARD";
    }
}

std::string className(const tSetupPacket& setup, std::uint16_t dfuInterface)
{
    if ((setup.bmRequestType & 0x1F) != 1 || setup.wIndex != dfuInterface)
        return "CLASS";
    switch (setup.bRequest) {
    case DFU::eDetach: return "DFU_DETACH";
    case DFU::eDnload: return "DFU_DNLOAD";
    case DFU::eUpload: return "DFU_UPLOAD";
    case DFU::eGetStatus: return "DFU_GETSTATUS";
    case DFU::eClrStatus: return "DFU_CLRSTATUS";
    case DFU::eGetState: return "DFU_GETSTATE";
    case DFU::eAbort: return "DFU_ABORT";
    case REQ::kXmosResetIntoDfu: return "XMOS_DFU_RESETINTODFU";
    case REQ::kXmosResetFromDfu: return "XMOS_DFU_RESETFROMDFU";
    default: return "CLASS";
    }
}

}  // namespace

std::string requestName(const tSetupPacket& setup, std::uint16_t dfuInterface)
{
    switch (setup.bmRequestType & 0x60) {
    case 0x00: return standardName(setup);
    case 0x20: return className(setup, dfuInterface);
    case 0x40:
        if (setup.bmRequestType == 0x41 && setup.bRequest >= REQ::kCustomImageBase &&
            setup.bRequest < REQ::kCustomImageBase + 4)
            return "CUSTOM_WRITE";
        if (setup.bmRequestType == 0xC0 && setup.bRequest == REQ::kCustomImageVersion)
            return "CUSTOM_VERSION";
        return "VENDOR";
    default: return "RESERVED";
    }
}

}  // namespace QV::SIM
