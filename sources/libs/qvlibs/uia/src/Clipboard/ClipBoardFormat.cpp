#include "UIA/ClipBoardFormat.h"

namespace QV::UIA {

void ClipBoardFormat::notifyNumItems(unsigned long) {}

bool ClipBoardFormat::canHoldMultipleItems() const { return false; }

bool RawDataClipBoardFormat::addRawData(const unsigned char* bytes, long size)
{
    if (size < 0 || (size > 0 && !bytes))
        return false;
    return readRawData(bytes, static_cast<unsigned long>(size));
}

void RawDataClipBoardFormat::writeOSData(std::vector<CFDataRef>& items) const
{
    std::vector<UInt8> buffer(getRawDataSize());
    writeRawData(buffer.data());
    if (CFDataRef data = CFDataCreate(kCFAllocatorDefault, buffer.data(), static_cast<CFIndex>(buffer.size())))
        items.push_back(data);
}

}  // namespace QV::UIA
