// The pane of a UI-layer window: the pane's window services through that window (cursor,
// clipboard text, text input, relative mouse movement, file dialog, key focus, screen
// coordinates), and the window events that concern the widget tree. Without a window every
// service does nothing.
#pragma once

#include "PXT/Pane.h"

namespace QV::PXT {

class WindowingPane : public Pane {
public:
    void setCursor(int stdCursor) override;
    void setCursorPos(const GP::Point& screenPos) override;
    void setCursor(void* handle) override;
    void resetCursor() override;
    GP::Point translateToScreen(const GP::Point& p) const override;
    void startRelativeMouseMove() override;
    void stopRelativeMouseMove() override;
    std::string getTextFromClipboard() override;
    void copyToClipboard(const std::string& text) override;
    void textInputStart(UIA::TextInputBase* input) override;
    void textInputEnd() override;
    void textInputResetMarkedRange() override;
    void openFileDialog(bool save, const std::string& caption, const std::filesystem::path& initial,
                        std::function<void(const std::string&)> onChosen) override;
    // Only switches an active modal key input off, never on.
    void setModalKeyInput(bool on) override;
    void setKeyFocus() override;
    // The focus widget is repainted and forgotten.
    void killFocus() override;
    // Losing key status drops the focus; deactivation ends a press (up codes, no click) and the
    // hover; drag codes go to onDragDrop; the rest goes to the pane's routing.
    bool onEvent(unsigned code, UIA::EventData* data) override;
    // A drag request (the window's, eEventDragDropRequest) goes to the widget under the drag's
    // position, then up its ancestors, each asked with the position relative to itself, until one
    // accepts (true). A widget whose drag-request filter claims it ends the request as handled.
    // Widgets on the way that have leave observers are listed as observers of the drag. The
    // drop and the leave go straight from the UI layer to the accepting widget, so every other
    // drag code is not handled here (false).
    bool onDragDrop(unsigned code, UIA::EventData* data);

private:
    // const access for translateToScreen.
    UIA::WindowBase* window() const { return const_cast<WindowingPane*>(this)->getWindow(); }
};

}  // namespace QV::PXT
