// An in-process drag payload: a pointer to the payload and the window the drag started in, under a
// type identifier unique to this process run ("orvendal.application.internalclipboardformat.0x...").
//
// The pointers mean something only inside the process that wrote them: ExchangeData hands them to
// this format only when they are exactly the 16 bytes that this process put on that same pasteboard
// and the process still owns it; from anywhere else the data is absent.
#pragma once

#include "UIA/ClipBoardFormat.h"

namespace QV::UIA {

class DragDropData;
class WindowBase;

class InternalClipBoardFormat : public RawDataClipBoardFormat {
public:
    InternalClipBoardFormat();
    InternalClipBoardFormat(const DragDropData* data, WindowBase* source);

    static const ClipBoardFormatHandle& FormatHandle();

    const DragDropData* getData() const { return m_pData; }
    WindowBase* getSource() const { return m_pSource; }

    // Exactly 16 bytes: the two pointers as they lie in memory; anything else is refused.
    bool readRawData(const void* bytes, unsigned long size) override;
    void writeRawData(void* buffer) const override;
    unsigned long getRawDataSize() const override;

private:
    const DragDropData* m_pData = nullptr;
    WindowBase* m_pSource = nullptr;
};

}  // namespace QV::UIA
