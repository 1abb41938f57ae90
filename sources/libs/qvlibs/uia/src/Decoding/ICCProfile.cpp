#include "Decoding/ICCProfile.h"

#include <array>
#include <cstring>

namespace QV::UIA::DETAIL {

namespace {

constexpr char kSignature[] = "ICC_PROFILE";  // with its terminating zero: 12 bytes
constexpr std::size_t kChunkHeaderSize = sizeof kSignature + 2;
constexpr int kICCMarker = JPEG_APP0 + 2;

}  // namespace

std::vector<uint8_t> assembleICCProfile(jpeg_saved_marker_ptr markers)
{
    std::array<jpeg_saved_marker_ptr, 256> chunks{};  // by sequence number
    unsigned nChunks = 0;
    bool bCounting = false;
    for (jpeg_saved_marker_ptr marker = markers; marker != nullptr; marker = marker->next) {
        if (marker->marker != kICCMarker || marker->data_length < kChunkHeaderSize ||
            std::memcmp(marker->data, kSignature, sizeof kSignature) != 0)
            continue;
        const unsigned sequence = marker->data[sizeof kSignature];
        const unsigned count = marker->data[sizeof kSignature + 1];
        if (!bCounting) {
            nChunks = count;
            bCounting = true;
        } else if (count != nChunks) {
            return {};
        }
        if (sequence == 0 || sequence > nChunks || chunks[sequence] != nullptr)
            return {};
        chunks[sequence] = marker;
    }
    if (!bCounting)
        return {};

    std::size_t size = 0;
    for (unsigned sequence = 1; sequence <= nChunks; ++sequence) {
        if (chunks[sequence] == nullptr)
            return {};
        size += chunks[sequence]->data_length - kChunkHeaderSize;
    }
    std::vector<uint8_t> profile;
    profile.reserve(size);
    for (unsigned sequence = 1; sequence <= nChunks; ++sequence) {
        JOCTET const* data = chunks[sequence]->data;
        profile.insert(profile.end(), data + kChunkHeaderSize, data + chunks[sequence]->data_length);
    }
    return profile;
}

}  // namespace QV::UIA::DETAIL
