// The two firmware images the updater carries: opaque bytes written to the controller. A product
// build embeds the maker's files; other builds embed deterministic placeholders of the same sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace QV::FW {

constexpr std::size_t kVardolinStudioPICSize = 15360;  // auxiliary image, written as custom image 1
constexpr std::size_t kVardolinStudioSize = 60416;     // main image, written by the DFU download

extern const uint8_t VardolinStudioPIC[kVardolinStudioPICSize];
extern const uint8_t VardolinStudio[kVardolinStudioSize];

}  // namespace QV::FW
