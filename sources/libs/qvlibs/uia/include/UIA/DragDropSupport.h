// The values that a drag carries between its source and its targets.
#pragma once

#include <cstdint>

namespace QV::UIA {
class Picture;
}

namespace QV::UIA::DragDropSupport {

// What a target does with the data: bits, 0 for none.
enum DropEffect : uint32_t {
    eDropEffectNone = 0,
    eDropEffectCopy = 1,
    eDropEffectMove = 2,
    eDropEffectLink = 4,
    // A target may add this bit to its answer (the drag-and-drop manager reads it).
    eDropEffectFlag = 0x80000000u
};

// How a drag started here ended.
enum DropResult : uint32_t {
    eDropResultOther = 0,
    eDropResultCopied = 1,
    eDropResultMoved = 2,
    eDropResultLinked = 4,
    eDropResultNothing = 64,  // nothing done, or a generic outcome
    eDropResultDeleted = 128
};

// The picture shown under the pointer while a drag started here runs; (hotX, hotY) is the point of
// the picture that lies under the pointer.
struct DragImage {
    const Picture* picture = nullptr;
    int hotX = 0;
    int hotY = 0;
};

}  // namespace QV::UIA::DragDropSupport
