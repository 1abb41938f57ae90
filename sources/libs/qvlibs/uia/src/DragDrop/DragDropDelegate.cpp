// The installed drag-and-drop delegate and the queries that go through it.
#include "UIA/DragDropDelegate.h"

#include "UIA/EventData.h"

#include <GP/FileName.h>

#include <utility>

namespace QV::UIA {

namespace {

std::unique_ptr<IDragDropDelegate>& installed()
{
    static std::unique_ptr<IDragDropDelegate> s_delegate = std::make_unique<NOPDragDropDelegate>();
    return s_delegate;
}

}  // namespace

std::optional<std::vector<GP::FileName>> NOPDragDropDelegate::getExternalFileList(const DragEventData&) const
{
    return std::nullopt;
}

void setDragDropDelegate(std::unique_ptr<IDragDropDelegate> delegate)
{
    if (!delegate)
        delegate = std::make_unique<NOPDragDropDelegate>();
    // The previous one goes only once the new one is in place.
    std::unique_ptr<IDragDropDelegate> previous = std::exchange(installed(), std::move(delegate));
}

const IDragDropDelegate& DNDDelegate::get() { return *installed(); }

const DragDropData* DNDDelegate::getInternalDragDropData(const DragEventData& event)
{
    return get().getInternalDragDropData(event);
}

bool DragEventData::getFormat(ClipBoardFormat& format) const { return DNDDelegate::get().getFormat(*this, format); }

bool DragEventData::containsFormat(const ClipBoardFormatHandle& handle) const
{
    return DNDDelegate::get().containsFormat(*this, handle);
}

}  // namespace QV::UIA
