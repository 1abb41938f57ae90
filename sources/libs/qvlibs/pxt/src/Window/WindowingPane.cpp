#include "PXT/WindowingPane.h"

#include "PXT/Widget.h"
#include "UIA/ClipBoard.h"
#include "UIA/CursorManager.h"
#include "UIA/EventCodes.h"
#include "UIA/FileDialog.h"
#include "UIA/InputState.h"
#include "UIA/TextClipBoardFormat.h"
#include "UIA/WindowBase.h"

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
    default: return Pane::onEvent(code, data);
    }
}

}  // namespace QV::PXT
