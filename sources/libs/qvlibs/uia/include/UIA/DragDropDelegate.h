// The process-wide drag service: reads the data of the drag under way and starts drags from this
// process. One delegate is installed at a time: a NOPDragDropDelegate (no data, no drags) until the
// application installs the windowing one (makeWindowingDragDropDelegate), which works on the
// drag's pasteboard and runs the platform drag. Main thread only.
#pragma once

#include "UIA/DragDropSupport.h"

#include <Carbon/Carbon.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace QV::GP {
class FileName;
}

namespace QV::UIA {

class ClipBoardFormat;
struct ClipBoardFormatHandle;
class DragDropData;
struct DragDropFormat;
struct DragEventData;
class EventTarget;
class WindowBase;

class IDragDropDelegate {
public:
    virtual ~IDragDropDelegate() = default;

    // The drag's data read into `format`; true when some of it was there.
    virtual bool getFormat(const DragEventData& event, ClipBoardFormat& format) const = 0;
    virtual bool containsFormat(const DragEventData& event, const ClipBoardFormatHandle& handle) const = 0;
    // The in-process payload when it belongs to `format` (its formatId is the format's id), else null.
    virtual const DragDropData* getFormat(const DragEventData& event, const DragDropFormat& format) const = 0;
    virtual bool containsFormat(const DragEventData& event, const DragDropFormat& format) const = 0;
    // The drag's pasteboard (owned by the event's ExchangeData), or null.
    virtual PasteboardRef getOSHandle(const DragEventData& event) const = 0;
    // Files, as file URLs; absent when the drag carries none.
    virtual std::optional<std::vector<GP::FileName>> getExternalFileList(const DragEventData& event) const = 0;
    // Text as UTF-8 (invalid sequences dropped); absent when the drag carries none.
    virtual std::optional<std::string> getExternalText(const DragEventData& event) const = 0;
    // The in-process payload, or null. Taken only from a pasteboard this process filled with it,
    // during the drag that carries it.
    virtual const DragDropData* getInternalDragDropData(const DragEventData& event) const = 0;
    virtual bool isExternalText(const DragEventData& event) const = 0;
    virtual bool isExternalFileList(const DragEventData& event) const = 0;
    // DragDropManager::registerFormat.
    virtual unsigned registerDNDFormat(const char* name) const = 0;

    // Drag starters: each returns when the drag is over. `allowedEffects` are DropEffect bits;
    // `source` is the window the drag starts in (an internal drag is accepted only there); `image`
    // may be null (a small outline is shown). DoDragWithCallback reports the end to `resultReceiver`
    // with eEventDragDropFinished.
    virtual void DoDragText(const std::string& utf8, unsigned allowedEffects) const = 0;
    virtual void DoDrag(const DragDropData& data, unsigned allowedEffects, WindowBase* source,
                        const DragDropSupport::DragImage* image) const = 0;
    virtual void DoDragWithCallback(EventTarget* resultReceiver, const DragDropData& data, unsigned allowedEffects,
                                    WindowBase* source, const DragDropSupport::DragImage* image) const = 0;
};

// Every query answers false, null, 0 or absent; the drag starters do nothing.
class NOPDragDropDelegate : public IDragDropDelegate {
public:
    bool getFormat(const DragEventData&, ClipBoardFormat&) const override { return false; }
    bool containsFormat(const DragEventData&, const ClipBoardFormatHandle&) const override { return false; }
    const DragDropData* getFormat(const DragEventData&, const DragDropFormat&) const override { return nullptr; }
    bool containsFormat(const DragEventData&, const DragDropFormat&) const override { return false; }
    PasteboardRef getOSHandle(const DragEventData&) const override { return nullptr; }
    std::optional<std::vector<GP::FileName>> getExternalFileList(const DragEventData&) const override;
    std::optional<std::string> getExternalText(const DragEventData&) const override { return std::nullopt; }
    const DragDropData* getInternalDragDropData(const DragEventData&) const override { return nullptr; }
    bool isExternalText(const DragEventData&) const override { return false; }
    bool isExternalFileList(const DragEventData&) const override { return false; }
    unsigned registerDNDFormat(const char*) const override { return 0; }
    void DoDragText(const std::string&, unsigned) const override {}
    void DoDrag(const DragDropData&, unsigned, WindowBase*, const DragDropSupport::DragImage*) const override {}
    void DoDragWithCallback(EventTarget*, const DragDropData&, unsigned, WindowBase*,
                            const DragDropSupport::DragImage*) const override
    {}
};

// The pasteboard implementation.
std::unique_ptr<IDragDropDelegate> makeWindowingDragDropDelegate();

// Installs `delegate` (a new NOPDragDropDelegate for null) and deletes the previous one.
void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate);

// The installed delegate.
class DNDDelegate {
public:
    static const IDragDropDelegate& get();
    static const DragDropData* getInternalDragDropData(const DragEventData& event);
};

}  // namespace QV::UIA
