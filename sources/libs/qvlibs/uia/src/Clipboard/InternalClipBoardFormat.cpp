#include "UIA/InternalClipBoardFormat.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace QV::UIA {

namespace {

// Its address makes the type identifier unique to this process run.
const char s_identity = 0;

CFStringRef makeTypeIdentifier()
{
    // "0x" and lower-case hexadecimal digits, as a pointer is written.
    char text[96];
    std::snprintf(text, sizeof(text), "orvendal.application.internalclipboardformat.0x%" PRIxPTR,
                  reinterpret_cast<std::uintptr_t>(&s_identity));
    return CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
}

constexpr unsigned long kRawSize = sizeof(const DragDropData*) + sizeof(WindowBase*);
static_assert(kRawSize == 16, "the internal payload is two 64-bit pointers");

}  // namespace

InternalClipBoardFormat::InternalClipBoardFormat() : RawDataClipBoardFormat(FormatHandle()) {}

InternalClipBoardFormat::InternalClipBoardFormat(const DragDropData* data, WindowBase* source)
    : RawDataClipBoardFormat(FormatHandle()), m_pData(data), m_pSource(source)
{}

const ClipBoardFormatHandle& InternalClipBoardFormat::FormatHandle()
{
    static const ClipBoardFormatHandle s_handle{makeTypeIdentifier()};
    return s_handle;
}

bool InternalClipBoardFormat::readRawData(const void* bytes, unsigned long size)
{
    if (size != kRawSize)
        return false;
    std::memcpy(&m_pData, bytes, sizeof(m_pData));
    std::memcpy(&m_pSource, static_cast<const char*>(bytes) + sizeof(m_pData), sizeof(m_pSource));
    return true;
}

void InternalClipBoardFormat::writeRawData(void* buffer) const
{
    std::memcpy(buffer, &m_pData, sizeof(m_pData));
    std::memcpy(static_cast<char*>(buffer) + sizeof(m_pData), &m_pSource, sizeof(m_pSource));
}

unsigned long InternalClipBoardFormat::getRawDataSize() const { return kRawSize; }

}  // namespace QV::UIA
