#include "DFUInterfaceDescriptor.h"

#include "DVK2/USBDescriptor.h"

namespace QV::DVK2::DFU {
namespace {

constexpr uint8_t kDescriptorTypeInterface = 4;
constexpr uint8_t kDescriptorTypeDFUFunctional = 0x21;
constexpr uint8_t kInterfaceClassApplicationSpecific = 0xFE;
constexpr uint8_t kInterfaceSubClassDFU = 1;
constexpr uint8_t kProtocolRunTime = 1;
constexpr uint8_t kProtocolDFUMode = 2;

const uint8_t* bytes(const USB::DescriptorHeader* header) { return reinterpret_cast<const uint8_t*>(header); }

bool isDFUInterface(const USB::DescriptorHeader* header)
{
    if (header->bDescriptorType != kDescriptorTypeInterface || header->bLength < 9)
        return false;
    const uint8_t* d = bytes(header);
    return d[5] == kInterfaceClassApplicationSpecific && d[6] == kInterfaceSubClassDFU && d[7] <= kProtocolDFUMode;
}

bool isFunctional(const USB::DescriptorHeader* header)
{
    return header->bDescriptorType == kDescriptorTypeDFUFunctional && header->bLength >= 7;
}

// Protocol 0 predates the run-time/DFU-mode split: interface 0 is taken as the DFU-mode one.
uint8_t modeOf(uint8_t protocol, uint8_t interfaceNumber)
{
    if (protocol == kProtocolRunTime || (protocol == 0 && interfaceNumber != 0))
        return 1;
    return 2;
}

}  // namespace

bool findInterface(const uint8_t* config, unsigned length, tInterfaceInfo& info)
{
    if (config == nullptr || length < 2)
        return false;
    unsigned remaining = length;
    const auto* header = reinterpret_cast<const USB::DescriptorHeader*>(config);
    if (header->bLength == 0 || header->bLength > remaining)
        return false;

    while (header != nullptr) {
        if (!isDFUInterface(header)) {
            header = USB::Descriptor::getNext(header, remaining);
            continue;
        }
        const auto* interface = bytes(header);
        const auto* following = USB::Descriptor::getNext(header, remaining);
        if (following == nullptr)
            return false;
        if (isFunctional(following)) {
            const uint8_t* f = bytes(following);
            info.interfaceNumber = interface[2];
            info.mode = modeOf(interface[7], interface[2]);
            info.bmAttributes = f[2];
            info.wDetachTimeOut = static_cast<uint16_t>(f[3] | f[4] << 8);
            info.wTransferSize = static_cast<uint16_t>(f[5] | f[6] << 8);
            return true;
        }
        header = USB::Descriptor::getNext(following, remaining);
    }
    return false;
}

}  // namespace QV::DVK2::DFU
