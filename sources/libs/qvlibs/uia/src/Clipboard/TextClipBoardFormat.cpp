#include "UIA/TextClipBoardFormat.h"

#include <GP/UTF.h>

#include <CoreServices/UTType.h>

#include <algorithm>
#include <cstring>

namespace QV::UIA {

TextClipBoardFormat::TextClipBoardFormat() : RawDataClipBoardFormat(FormatHandle()) {}

const ClipBoardFormatHandle& TextClipBoardFormat::FormatHandle()
{
    static const ClipBoardFormatHandle s_handle{kUTTypeUTF16PlainText};
    return s_handle;
}

std::string TextClipBoardFormat::getValue() const
{
    return GP::details::utf_to_utf<char, char16_t, true>::apply(m_value);
}

void TextClipBoardFormat::setValue(const std::string& utf8)
{
    m_value = GP::details::utf_to_utf<char16_t, char, true>::apply(utf8);
}

bool TextClipBoardFormat::readRawData(const void* bytes, unsigned long size)
{
    // The bytes need not be aligned for char16_t: copy them.
    std::u16string units(size / 2, u'\0');
    if (!units.empty())
        std::memcpy(units.data(), bytes, units.size() * 2);
    units.resize(std::min(units.size(), units.find(u'\0')));
    std::u16string value;
    value.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        value.push_back(units[i]);
        if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n')
            ++i;
    }
    if (!value.empty() && value.front() == u'\xFEFF')
        value.erase(0, 1);
    m_value = std::move(value);
    return true;
}

void TextClipBoardFormat::writeRawData(void* buffer) const
{
    if (m_value.empty())
        return;
    std::memset(buffer, 0, getRawDataSize());
    std::memcpy(buffer, m_value.data(), m_value.size() * 2);
}

unsigned long TextClipBoardFormat::getRawDataSize() const { return 2 * m_value.size(); }

}  // namespace QV::UIA
