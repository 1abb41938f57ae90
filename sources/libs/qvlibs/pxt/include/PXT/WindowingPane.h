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
    // hover; the rest goes to the pane's routing.
    bool onEvent(unsigned code, UIA::EventData* data) override;

private:
    // const access for translateToScreen.
    UIA::WindowBase* window() const { return const_cast<WindowingPane*>(this)->getWindow(); }
};

}  // namespace QV::PXT
