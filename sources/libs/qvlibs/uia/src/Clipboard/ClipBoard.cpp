#include "UIA/ClipBoard.h"

#include "UIA/ExchangeData.h"

namespace QV::UIA {

void ClipBoard::setFormat(const ClipBoardFormat& format) { ExchangeData written(format, true); }

bool ClipBoard::getFormat(ClipBoardFormat& format)
{
    PasteboardRef clipboard = nullptr;
    if (PasteboardCreate(kPasteboardClipboard, &clipboard) != 0 || !clipboard)
        return false;
    PasteboardSynchronize(clipboard);
    const bool read = ExchangeData(clipboard).getFormat(format);
    CFRelease(clipboard);
    return read;
}

}  // namespace QV::UIA
