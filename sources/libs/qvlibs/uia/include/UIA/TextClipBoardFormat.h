// Plain text on the clipboard: UTF-16 (public.utf16-plain-text); a UTF-8 flavour of the same item is
// preferred when reading.
#pragma once

#include "UIA/ClipBoardFormat.h"

#include <string>

namespace QV::UIA {

class TextClipBoardFormat : public RawDataClipBoardFormat {
public:
    TextClipBoardFormat();

    static const ClipBoardFormatHandle& FormatHandle();

    // UTF-8; invalid sequences are dropped both ways.
    std::string getValue() const;
    void setValue(const std::string& utf8);

    // The UTF-16 units up to the first zero unit (at most size / 2 of them); every CR LF becomes CR
    // (the line end of this system's texts) and one leading byte-order mark is dropped.
    bool readRawData(const void* bytes, unsigned long size) override;
    // The units without terminator.
    void writeRawData(void* buffer) const override;
    unsigned long getRawDataSize() const override;

private:
    std::u16string m_value;
};

}  // namespace QV::UIA
