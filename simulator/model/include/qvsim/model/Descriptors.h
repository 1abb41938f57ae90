#pragma once

#include "qvsim/model/ControllerConfig.h"

#include <cstdint>
#include <string>
#include <vector>

// The controller's USB descriptors, built from its configuration. Multi-byte fields are little endian,
// as on the bus.
namespace QV::SIM::Descriptors {

// String indices of the device descriptor.
constexpr std::uint8_t kManufacturerIndex = 1;
constexpr std::uint8_t kProductIndex = 2;
constexpr std::uint8_t kSerialNumberIndex = 3;
constexpr std::uint16_t kLanguageUsEnglish = 0x0409;
constexpr std::uint8_t kHidInterruptEndpoint = 0x81;

// The interface that takes the DFU class requests: 1 (run-time) or 0 (DFU mode).
std::uint8_t dfuInterface(eMode mode);

// Number of interfaces of the one configuration.
std::uint8_t interfaceCount(eMode mode);

// The 18-byte device descriptor. `withStrings` false gives string indices 0.
std::vector<std::uint8_t> device(const ControllerConfig& config, eMode mode, std::uint16_t bcdDevice, bool withStrings);

// Configuration 1 with its interfaces, class descriptors and endpoints (wTotalLength bytes).
//   application: interface 0 HID (HID descriptor, interrupt IN endpoint), interface 1 DFU run-time
//                followed by the DFU functional descriptor (vendor-specific, without it, for the
//                fault noDfuRunTime)
//   update:      interface 0 DFU mode followed by the DFU functional descriptor
std::vector<std::uint8_t> configuration(const ControllerConfig& config, eMode mode);

// The 9-byte HID class descriptor and the report descriptor it announces (vendor-defined, 64 bytes in).
std::vector<std::uint8_t> hid();
std::vector<std::uint8_t> hidReport();

// String descriptor 0: the language table (US English).
std::vector<std::uint8_t> languages();

// A string descriptor of UTF-8 text (UTF-16LE on the bus; cut to the 126 code units that fit).
std::vector<std::uint8_t> string(const std::string& utf8);

}  // namespace QV::SIM::Descriptors
