// The payload of a drag inside this process and the format it belongs to. The payload travels by
// pointer (InternalClipBoardFormat): the owner keeps it alive until the drag that carries it ends,
// which is when DragDropManager::DoDragWithCallback returns.
#pragma once

#include <cstdint>

namespace QV::UIA {

// The kind of an in-process payload, made by DragDropManager::registerFormat.
struct DragDropFormat {
    uint32_t id = 0;
};

// Base of an in-process payload; the rest is its owner's.
class DragDropData {
public:
    explicit DragDropData(uint32_t formatId = 0) : formatId(formatId) {}
    virtual ~DragDropData() = default;

    uint32_t formatId;  // the id of the DragDropFormat it belongs to
};

}  // namespace QV::UIA
