#include "UIA/FileListClipBoardFormat.h"

#include <GP/FileTypeManager.h>
#include <GP/URI.h>

#include <CoreServices/UTType.h>

namespace QV::UIA {

FileListClipBoardFormat::FileListClipBoardFormat() : ClipBoardFormat(FormatHandle()) {}

FileListClipBoardFormat::FileListClipBoardFormat(std::vector<GP::FileName> files)
    : ClipBoardFormat(FormatHandle()), m_files(std::move(files))
{}

const ClipBoardFormatHandle& FileListClipBoardFormat::FormatHandle()
{
    static const ClipBoardFormatHandle s_handle{kUTTypeFileURL};
    return s_handle;
}

void FileListClipBoardFormat::notifyNumItems(unsigned long count) { m_files.reserve(m_files.size() + count); }

bool FileListClipBoardFormat::addRawData(const unsigned char* bytes, long size)
{
    if (!bytes || size <= 0)
        return true;
    GP::URI location;
    GP::FileName file;
    if (location.createCanonicalLocation(
            GP::CharSequence<char>(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size))) &&
        location.getFileName(file)) {
        GP::FileTypeManager::determineType(file);
        m_files.push_back(std::move(file));
    }
    return true;
}

void FileListClipBoardFormat::writeOSData(std::vector<CFDataRef>& items) const
{
    for (const GP::FileName& file : m_files) {
        const std::string text = GP::URI(file).get();
        if (text.empty())
            continue;
        if (CFDataRef data = CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                          static_cast<CFIndex>(text.size())))
            items.push_back(data);
    }
}

bool FileListClipBoardFormat::canHoldMultipleItems() const { return true; }

}  // namespace QV::UIA
