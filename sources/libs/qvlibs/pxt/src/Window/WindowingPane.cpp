#include "PXT/WindowingPane.h"

#include "PXT/Widget.h"
#include "UIA/ClipBoard.h"
#include "UIA/CursorManager.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/FileDialog.h"
#include "UIA/InputState.h"
#include "UIA/TextClipBoardFormat.h"
#include "UIA/WindowBase.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace QV::PXT {

void WindowingPane::setCursor(int stdCursor)
{
    if (stdCursor >= 0 && stdCursor < UIA::CursorManager::kStdCursorCount)
        setCursor(UIA::CursorManager::s_hStdCursors[stdCursor]);
}

void WindowingPane::setCursorPos(const GP::Point& screenPos) { UIA::CursorManager::setCursorPos(screenPos); }

void WindowingPane::setCursor(void* handle)
{
    if (UIA::WindowBase* w = getWindow())
        w->setCursor(handle);
}

void WindowingPane::resetCursor()
{
    if (UIA::WindowBase* w = getWindow())
        w->resetCursor();
}

GP::Point WindowingPane::translateToScreen(const GP::Point& p) const
{
    GP::Point result = translateToWindow(p);
    if (UIA::WindowBase* w = window())
        w->toScreen(result);
    return result;
}

void WindowingPane::startRelativeMouseMove()
{
    if (UIA::WindowBase* w = getWindow())
        w->startRelativeMouseMove();
}

void WindowingPane::stopRelativeMouseMove()
{
    if (UIA::WindowBase* w = getWindow())
        w->stopRelativeMouseMove();
}

std::string WindowingPane::getTextFromClipboard()
{
    if (!getWindow())
        return std::string();
    UIA::TextClipBoardFormat text;
    return UIA::ClipBoard::getFormat(text) ? text.getValue() : std::string();
}

void WindowingPane::copyToClipboard(const std::string& text)
{
    if (!getWindow())
        return;
    UIA::TextClipBoardFormat format;
    format.setValue(text);
    UIA::ClipBoard::setFormat(format);
}

void WindowingPane::textInputStart(UIA::TextInputBase* input)
{
    if (UIA::WindowBase* w = getWindow())
        w->setActiveTextInput(input);
}

void WindowingPane::textInputEnd()
{
    if (UIA::WindowBase* w = getWindow())
        w->setActiveTextInput(nullptr);
}

void WindowingPane::textInputResetMarkedRange()
{
    if (UIA::WindowBase* w = getWindow())
        w->textInputResetMarkedRange();
}

void WindowingPane::openFileDialog(bool save, const std::string& caption, const std::filesystem::path& initial,
                                   std::function<void(const std::string&)> onChosen)
{
    UIA::WindowBase* w = getWindow();
    if (!w)
        return;
    UIA::FileDialog dialog;
    dialog.setCaption(caption);
    dialog.setInitialFileOrDirectory(GP::FileName(initial));
    if (dialog.doModal(save ? UIA::FileDialog::eFileActionSave : UIA::FileDialog::eFileActionOpen, w))
        onChosen(dialog.getFileName().getFilesystemPath());
}

void WindowingPane::setModalKeyInput(bool on)
{
    if (UIA::InputState::getModalKeyInput())
        UIA::InputState::setModalKeyInput(on);
}

void WindowingPane::setKeyFocus()
{
    if (UIA::WindowBase* w = getWindow())
        w->setKeyFocus();
}

void WindowingPane::killFocus()
{
    if (Widget* focus = getFocusWidget()) {
        focus->setInvalid();
        setFocusWidget(nullptr);
    }
}

bool WindowingPane::onEvent(unsigned code, UIA::EventData* data)
{
    switch (code) {
    case UIA::eEventWindowResignedKey: killFocus(); return true;
    case UIA::eEventWindowDeactivated:
        // A press cannot outlive the window's activation: the pressed widget gets its up codes (no
        // click) so that nothing it started (an auto-repeat timer) keeps running, and the held
        // buttons and the double-click mark are forgotten with it.
        cancelPress();
        setOver(nullptr);
        return true;
    default:
        if (code >= UIA::eEventDragDropRequest && code <= 1399)
            return onDragDrop(code, data);
        return Pane::onEvent(code, data);
    }
}

bool WindowingPane::onDragDrop(unsigned code, UIA::EventData* data)
{
    if (code != UIA::eEventDragDropRequest || !data)
        return false;
    auto* request = static_cast<UIA::DragDropRequestEventData*>(data);
    // The hit test takes the drag's own position: during a drag the pointer sends no mouse
    // events, so the last mouse position is where the pointer was before the drag.
    const auto [filtered, hit] = filterDragDropRequestEventAndLocateTarget(code, request);
    if (filtered)
        return true;
    // The chain is held: a handler may change the tree.
    std::vector<std::shared_ptr<Widget>> chain;
    for (Widget* w = hit.get(); w; w = w->getParent())
        chain.push_back(w->shared_from_this());
    for (const std::shared_ptr<Widget>& w : chain) {
        UIA::EventTarget* const observer = w.get();
        if (w->hasLeaveObservers() &&
            std::find(request->observers.begin(), request->observers.end(), observer) == request->observers.end())
            request->observers.push_back(observer);
    }
    const GP::Point pos = request->pos;
    for (const std::shared_ptr<Widget>& w : chain) {
        request->pos = GP::Point(pos.x - w->getAbsolutePos().x, pos.y - w->getAbsolutePos().y);
        const bool accepted = w->onEvent(code, request);
        request->pos = pos;
        if (accepted)
            return true;
    }
    return false;
}

}  // namespace QV::PXT
