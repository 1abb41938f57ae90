// The container file's byte layout (GP/FileContainer.h): sizes, offsets, magics and little-endian
// field access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace QV::GP::DETAIL::TOC {

constexpr std::size_t kMetaHeaderSize = 256;
constexpr char kMetaMagic[16] = {'/', '\\', ' ', 'Q', 'V', ' ', 'F', 'C', ' ', 'M', 'T', 'D', ' ', ' ', '/', '\\'};
constexpr std::size_t kMetaTextOffset = 66;
constexpr std::size_t kMetaTextBytes = 66;
constexpr std::size_t kMetaTypeOffset = 132;
constexpr std::size_t kMetaPartValueOffset = 136;
constexpr std::size_t kMetaPartCountOffset = 144;
constexpr std::size_t kMetaExtraBytesOffset = 148;

constexpr std::uint32_t kSmallRecordSize = 160;
constexpr std::uint32_t kLargeRecordSize = 640;
constexpr std::uint32_t kLargeRecordKind = 1;
constexpr std::size_t kHeaderKindOffset = 0;
constexpr std::size_t kHeaderZeroOffset = 4;
constexpr std::size_t kHeaderFillOffset = 8;
constexpr std::size_t kHeaderFillBytes = 8;
constexpr unsigned char kHeaderFill = 0xF0;
constexpr std::size_t kHeaderCountOffset = 16;
constexpr std::size_t kHeaderFlagsOffset = 20;
constexpr std::size_t kHeaderDataSizeOffset = 24;
constexpr std::size_t kHeaderMagicOffset = 32;
constexpr char kTocMagic[16] = {'/', '\\', ' ', 'Q', 'V', ' ', 'F', 'C', ' ', 'T', 'O', 'C', ' ', ' ', '/', '\\'};
constexpr std::uint32_t kFlagIdMap = 1;
constexpr std::size_t kIdMapEntrySize = 8;

constexpr std::size_t kItemOffsetOffset = 0;
constexpr std::size_t kItemIdOffset = 8;
constexpr std::size_t kItemVersionOffset = 12;
constexpr std::size_t kItemOpaqueOffset = 16;
constexpr std::size_t kItemNameOffset = 32;

inline std::uint32_t u32At(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline std::uint64_t u64At(const unsigned char* p)
{
    return static_cast<std::uint64_t>(u32At(p)) | static_cast<std::uint64_t>(u32At(p + 4)) << 32;
}

inline bool hasMetaMagic(const unsigned char* header) { return std::memcmp(header, kMetaMagic, 16) == 0; }

inline std::uint32_t recordSizeOfKind(std::uint32_t kind)
{
    return kind == kLargeRecordKind ? kLargeRecordSize : kSmallRecordSize;
}

// The zero word, the fill and the magic of a table header.
inline bool isTableHeader(const unsigned char* header)
{
    if (u32At(header + kHeaderZeroOffset) != 0)
        return false;
    for (std::size_t i = 0; i < kHeaderFillBytes; ++i)
        if (header[kHeaderFillOffset + i] != kHeaderFill)
            return false;
    return std::memcmp(header + kHeaderMagicOffset, kTocMagic, 16) == 0;
}

}  // namespace QV::GP::DETAIL::TOC
