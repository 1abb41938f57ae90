#pragma once

#include "qvsim/model/Clock.h"
#include "qvsim/model/Dfu.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace QV::SIM {

enum class eMode {
    Application,  // run-time: HID and DFU run-time interfaces, product id as configured
    Update,       // firmware update: one DFU mode interface, product id (pid & 0xFFF0) | 2
};

// Names one kind of control request, and optionally which occurrence of it: the 3rd DFU_DNLOAD is
// {0x21, 0x01, 3}. Occurrences count every matching request the controller receives from its creation.
struct tRequestMatch {
    std::uint8_t bmRequestType = 0;
    std::uint8_t bRequest = 0;
    unsigned occurrence = 0;  // 1 = the first; 0 = every one
};

// An error that the status poll after a download block reports: bStatus and state dfuERROR.
struct tStatusFault {
    static constexpr int kAtManifestation = -1;  // the poll after the zero-length DFU_DNLOAD

    std::uint8_t status = DFU::eErrWrite;
    int block = 0;  // the wValue of the DFU_DNLOAD block, or kAtManifestation
};

// The controller's ways to fail. The defaults fail nothing.
struct tFaults {
    std::vector<tRequestMatch> stall;        // answered with a stall, not acted on
    std::vector<tRequestMatch> neverAnswer;  // left pending: the host's request times out
    bool busyForever = false;                // every status poll after a block answers dfuDNBUSY
    bool stuckInManifest = false;            // manifestation never ends
    std::optional<tStatusFault> statusError;
    std::uint8_t getStatusLength = DFU::kGetStatusLength;  // bytes answered to DFU_GETSTATUS (at most 6)
    std::uint8_t deviceDescriptorLength = 18;              // bytes (and bLength) answered to GET_DESCRIPTOR(DEVICE)
    bool noStrings = false;                                // string indices 0, every string request stalls
    bool stallStrings = false;                             // string indices as usual, every string request stalls
    unsigned lostReenumeration = 0;                        // the n-th re-enumeration never comes back (0: none)
    unsigned lateReenumeration = 0;  // the n-th re-enumeration takes lateReenumerationDelay (0: none)
    Clock::Duration lateReenumerationDelay = std::chrono::seconds(30);
    std::string serialAfterReenumeration;  // when set: the serial number from the first re-enumeration on
    bool noDfuRunTime = false;             // application mode: interface 1 is vendor-specific, no DFU (requests stall)
};

// The USB vendor id the build was configured with (QV_USB_VENDOR_ID).
std::uint16_t defaultVendorId();

// Everything that makes one simulated controller: identity, descriptor values, timing, the images
// it accepts as updates and its faults.
struct ControllerConfig {
    std::uint16_t vendorId = defaultVendorId();
    std::uint16_t productId = 0x1300;  // application mode
    std::string manufacturer = "Orvendal";
    std::string product = "Vardolin Studio";
    std::string serialNumber = "VDX2024000001";
    std::uint16_t mainVersion = 0x0020;  // bcdDevice
    std::uint16_t auxVersion = 0x66;     // version of auxiliary image 1
    eMode initialMode = eMode::Application;

    // DFU functional descriptor.
    std::uint8_t dfuAttributes = DFU::kCanDownload | DFU::kManifestationTolerant | DFU::kWillDetach;
    std::uint16_t detachTimeOutMs = 1000;
    std::uint16_t transferSize = 2048;

    std::uint32_t pollTimeoutMs = 10;  // bwPollTimeout of busy answers, and how long a block keeps it busy
    Clock::Duration manifestationTime = std::chrono::seconds(1);
    Clock::Duration reenumerationDelay = std::chrono::seconds(1);  // from the reset until it is back on the bus

    // The images that count as an update, and the versions they bring.
    std::vector<std::uint8_t> expectedMainImage;
    std::vector<std::uint8_t> expectedAuxImage;
    std::uint16_t updatedMainVersion = 0x0021;
    std::uint16_t updatedAuxVersion = 0x67;

    tFaults faults;

    // (productId & 0xFFF0) | 2
    std::uint16_t updateProductId() const { return static_cast<std::uint16_t>((productId & 0xFFF0) | 2); }
};

}  // namespace QV::SIM
