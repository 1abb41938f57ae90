// The drag-source part of every widget: the pane's widget-level mouse codes go through it before
// the widget's onMouse, and the UI layer's drop-source logic (UIA::DropSource) decides from them
// when a drag starts. A widget becomes a drag source by setting the two functions: the
// can-drag-start test arms a drag on a left press, and the drag-start function starts it (through
// the UI layer's drag-and-drop delegate) once the pointer has moved far enough.
// Main thread only.
#pragma once

#include "GP/Point.h"
#include "UIA/DropSource.h"

#include <functional>

namespace QV::UIA {
struct MouseEventData;
}

namespace QV::PXT {

class Pane;

class DragDropSource : public UIA::DropSource {
public:
    using DragStartFunction = std::function<void(UIA::MouseEventData*)>;
    using CanDragStartFunction = std::function<bool(const GP::Point&)>;

    ~DragDropSource() override;

    // The can-drag-start function's answer for a widget-relative point; false without one.
    bool canDragStart(const GP::Point& pos) const override;

    // One widget-level mouse code on its way to the widget (positions relative to it); 0: not
    // handled, the widget's onMouse gets it; 1: consumed by a possible drag; 2: a drag started.
    //   left down: armed when the test agrees (1), else 0;   left up: disarms, 0;
    //   leave (1005): disarms, 0;   left drag: 1 while below the start distance or time, then the
    //   pane forgets the hover and the press, and the drag-start function runs (2).
    int handleDragDropSourceMouse(unsigned code, UIA::MouseEventData* data, Pane* pane);

    void setDragStartFunction(DragStartFunction function) { m_dragStart = std::move(function); }
    void setCanDragStartFunction(CanDragStartFunction function) { m_canDragStart = std::move(function); }

private:
    DragStartFunction m_dragStart;
    CanDragStartFunction m_canDragStart;
};

}  // namespace QV::PXT
