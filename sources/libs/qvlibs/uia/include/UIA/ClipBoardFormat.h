// A data type that travels through the clipboard or a drag: a format object writes its value as
// pasteboard items and reads it back from them (UIA/ExchangeData.h does the pasteboard side).
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <vector>

namespace QV::UIA {

// The identity of a format: its uniform type identifier. Each format class keeps one, made on
// first use and kept for the whole process.
struct ClipBoardFormatHandle {
    CFStringRef typeIdentifier = nullptr;
};

class ClipBoardFormat {
public:
    explicit ClipBoardFormat(const ClipBoardFormatHandle& handle) : m_pHandle(&handle) {}
    virtual ~ClipBoardFormat() = default;

    // Before reading: how many items the pasteboard holds.
    virtual void notifyNumItems(unsigned long count);
    // Takes the bytes of one item read from a pasteboard; true when the item was taken.
    virtual bool addRawData(const unsigned char* bytes, long size) = 0;
    // Appends one new data object per item to write (the caller releases them).
    virtual void writeOSData(std::vector<CFDataRef>& items) const = 0;
    // Whether reading goes on after the first item taken.
    virtual bool canHoldMultipleItems() const;

    const ClipBoardFormatHandle& getHandle() const { return *m_pHandle; }

private:
    const ClipBoardFormatHandle* m_pHandle;
};

// A format whose value is one item of raw bytes.
class RawDataClipBoardFormat : public ClipBoardFormat {
public:
    using ClipBoardFormat::ClipBoardFormat;

    // readRawData with the item's bytes (false for a negative size).
    bool addRawData(const unsigned char* bytes, long size) override;
    // One data object of getRawDataSize() bytes filled by writeRawData.
    void writeOSData(std::vector<CFDataRef>& items) const override;

    // Takes the value from `size` bytes; false when they hold none.
    virtual bool readRawData(const void* bytes, unsigned long size) = 0;
    // Writes the value into getRawDataSize() bytes.
    virtual void writeRawData(void* buffer) const = 0;
    virtual unsigned long getRawDataSize() const = 0;
};

}  // namespace QV::UIA
