#include "GP/FileContainer.h"

#include "GP/UTF.h"
#include "TocFormat.h"

namespace QV::GP {

using namespace DETAIL::TOC;

bool FileContainer::tMetaHeader::hasMagic() const { return hasMetaMagic(bytes); }
std::uint32_t FileContainer::tMetaHeader::getType() const { return u32At(bytes + kMetaTypeOffset); }
std::uint32_t FileContainer::tMetaHeader::getPartInfoValue() const { return u32At(bytes + kMetaPartValueOffset); }
std::uint32_t FileContainer::tMetaHeader::getPartCount() const { return u32At(bytes + kMetaPartCountOffset); }
std::uint32_t FileContainer::tMetaHeader::getExtraBytes() const { return u32At(bytes + kMetaExtraBytesOffset); }

std::string FileContainer::tMetaHeader::getText() const
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < kMetaTextBytes; i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[kMetaTextOffset + i] | bytes[kMetaTextOffset + i + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return details::utf_to_utf<char, char16_t, true>::apply(units);
}

}  // namespace QV::GP
