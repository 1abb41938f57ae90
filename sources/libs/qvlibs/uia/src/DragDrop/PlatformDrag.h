// What the drag-and-drop manager needs of the Cocoa back end (implemented beside the content view).
#pragma once

#include "UIA/DragDropSupport.h"

#include <objc/runtime.h>

namespace QV::UIA {
class ExchangeData;
class WindowBase;
}  // namespace QV::UIA

namespace QV::UIA::DETAIL {

// The window's platform window; nil for a window without Cocoa implementation.
id platformWindowOf(WindowBase* window);
// Whether a content view has seen a mouse event that a drag can start from.
bool canStartPlatformDrag();
// Runs the platform drag of the pasteboard's data from the view of the last mouse event; returns
// when the drag is over, after its end was reported (DragDropManager::handleDragFinishedEvent).
void runPlatformDrag(ExchangeData& data, unsigned allowedEffects, const DragDropSupport::DragImage* image);

}  // namespace QV::UIA::DETAIL
