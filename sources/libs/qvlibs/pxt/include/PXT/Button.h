// The toolkit's push button: a text panel highlighted on hover and press that reports what the
// user does through its signals, driven by the pane's mouse codes and 40 ms ticks.
#pragma once

#include "GP/Point.h"
#include "PXT/Signal.h"
#include "PXT/TextPanel.h"

#include <cstdint>
#include <string>

namespace QV::UIA {
struct MouseEventData;
struct KeyEventData;
}  // namespace QV::UIA

namespace QV::PXT {

namespace ButtonImpl {
struct tSignalData {
    std::uint32_t modifiers = 0;  // eModifier bits of the event
    bool mouse = false;           // a mouse event; for the Return key, its first-press flag
    bool doubleClick = false;     // the press that led here was a double-click
};
}  // namespace ButtonImpl

class Button : public TextPanel {
public:
    using tSignalData = ButtonImpl::tSignalData;

    static const std::string& getClassStatic();
    const std::string& getClass() const override { return getClassStatic(); }

    Button& style(const std::string& text, const char* styleName);

    void onMouse(unsigned code, UIA::MouseEventData* data) override;
    bool onKey(unsigned code, UIA::KeyEventData* data) override;
    void onTimer() override;
    void onPaint(PaintContext& context) override;

    Signal<const tSignalData*, const GP::Point&> m_sigPressed;
    Signal<const tSignalData*> m_sigClicked;
    Signal<const tSignalData*> m_sigDoubleClicked;
    Signal<> m_sigMouseEntered;
    Signal<const UIA::MouseEventData*> m_sigRightClicked;
    Signal<> m_sigAutoRepeat;
    Signal<> m_sigHover;
    Signal<> m_sigMouseExited;
    Signal<> m_sigReleased;

private:
    // A pending hover fires before anything the press sequence reports.
    void flushHover();

    // What the Return key does.
    enum eKeyMode : std::uint32_t {
        eKeyModeSwallow,      // handled, nothing fires
        eKeyModeClick,        // the click signal fires
        eKeyModeDoubleClick,  // the double-click signal fires
    };

    eKeyMode m_keyMode = eKeyModeSwallow;
    int m_hoverDelay = 0;  // ticks before the hover signal; 0 none
    bool m_doubleClick = false;
    bool m_hoverPending = false;
    bool m_separateDoubleClick = false;
    bool m_styled = false;
};

}  // namespace QV::PXT
