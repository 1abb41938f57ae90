// The drag-and-drop delegate over pasteboards: reads the drag's ExchangeData through the clipboard
// formats and starts drags through the drag-and-drop manager.
#include "UIA/DragDropData.h"
#include "UIA/DragDropDelegate.h"
#include "UIA/DragDropManager.h"
#include "UIA/EventData.h"
#include "UIA/ExchangeData.h"
#include "UIA/FileListClipBoardFormat.h"
#include "UIA/InternalClipBoardFormat.h"
#include "UIA/TextClipBoardFormat.h"

#include <GP/FileName.h>

namespace QV::UIA {

namespace {

class WindowingDragDropDelegate : public IDragDropDelegate {
public:
    bool getFormat(const DragEventData& event, ClipBoardFormat& format) const override
    {
        return event.data && event.data->getFormat(format);
    }

    bool containsFormat(const DragEventData& event, const ClipBoardFormatHandle& handle) const override
    {
        return event.data && event.data->containsFormat(handle);
    }

    const DragDropData* getFormat(const DragEventData& event, const DragDropFormat& format) const override
    {
        const DragDropData* data = getInternalDragDropData(event);
        return data && data->formatId == format.id ? data : nullptr;
    }

    bool containsFormat(const DragEventData& event, const DragDropFormat& format) const override
    {
        return getFormat(event, format) != nullptr;
    }

    PasteboardRef getOSHandle(const DragEventData& event) const override
    {
        return event.data ? event.data->getPasteboard() : nullptr;
    }

    std::optional<std::vector<GP::FileName>> getExternalFileList(const DragEventData& event) const override
    {
        FileListClipBoardFormat files;
        if (!getFormat(event, files))
            return std::nullopt;
        return files.getFiles();
    }

    std::optional<std::string> getExternalText(const DragEventData& event) const override
    {
        TextClipBoardFormat text;
        if (!getFormat(event, text))
            return std::nullopt;
        return text.getValue();
    }

    // The payload pointer only ever comes from ExchangeData's reading of the internal format, which
    // takes it only from the bytes this process put on that very pasteboard for the running drag.
    const DragDropData* getInternalDragDropData(const DragEventData& event) const override
    {
        InternalClipBoardFormat internal;
        return getFormat(event, internal) ? internal.getData() : nullptr;
    }

    bool isExternalText(const DragEventData& event) const override
    {
        return containsFormat(event, TextClipBoardFormat::FormatHandle());
    }

    bool isExternalFileList(const DragEventData& event) const override
    {
        return containsFormat(event, FileListClipBoardFormat::FormatHandle());
    }

    unsigned registerDNDFormat(const char* name) const override { return DragDropManager::registerFormat(name); }

    void DoDragText(const std::string& utf8, unsigned allowedEffects) const override
    {
        TextClipBoardFormat text;
        text.setValue(utf8);
        DragDropManager::DoDragWithCallback(nullptr, text, allowedEffects, nullptr);
    }

    void DoDrag(const DragDropData& data, unsigned allowedEffects, WindowBase* source,
                const DragDropSupport::DragImage* image) const override
    {
        DoDragWithCallback(nullptr, data, allowedEffects, source, image);
    }

    void DoDragWithCallback(EventTarget* resultReceiver, const DragDropData& data, unsigned allowedEffects,
                            WindowBase* source, const DragDropSupport::DragImage* image) const override
    {
        const InternalClipBoardFormat internal(&data, source);
        DragDropManager::DoDragWithCallback(resultReceiver, internal, allowedEffects, image);
    }
};

}  // namespace

std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate()
{
    return std::make_unique<WindowingDragDropDelegate>();
}

}  // namespace QV::UIA
