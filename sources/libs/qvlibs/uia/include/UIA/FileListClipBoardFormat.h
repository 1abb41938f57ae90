// A list of files on the clipboard: one file URL (public.file-url) per pasteboard item.
#pragma once

#include "UIA/ClipBoardFormat.h"

#include <GP/FileName.h>

#include <vector>

namespace QV::UIA {

class FileListClipBoardFormat : public ClipBoardFormat {
public:
    FileListClipBoardFormat();
    explicit FileListClipBoardFormat(std::vector<GP::FileName> files);

    static const ClipBoardFormatHandle& FormatHandle();

    const std::vector<GP::FileName>& getFiles() const { return m_files; }
    void setFiles(std::vector<GP::FileName> files) { m_files = std::move(files); }

    void notifyNumItems(unsigned long count) override;
    // The item is URL text: a file URL appends its file, typed by the file-type registry; any other
    // text is skipped. Always true.
    bool addRawData(const unsigned char* bytes, long size) override;
    // The URL text of each file that has one.
    void writeOSData(std::vector<CFDataRef>& items) const override;
    bool canHoldMultipleItems() const override;

private:
    std::vector<GP::FileName> m_files;
};

}  // namespace QV::UIA
