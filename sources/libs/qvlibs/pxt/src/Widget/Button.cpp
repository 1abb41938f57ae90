#include "PXT/Button.h"

#include "PXT/Pane.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/KeyCodes.h"

namespace QV::PXT {

const std::string& Button::getClassStatic()
{
    static const std::string name = "Button";
    return name;
}

Button& Button::style(const std::string& text, const char* styleName)
{
    setCanOver(true);
    m_styled = true;
    setInvalid();
    styleDefault(styleName);
    setText(text);
    return *this;
}

void Button::onPaint(PaintContext& context)
{
    if (m_styled)
        getDrawer().drawTextPanelItem(*this, context);
}

void Button::flushHover()
{
    if (!m_hoverPending)
        return;
    m_hoverPending = false;
    m_sigHover();
}

void Button::onMouse(unsigned code, UIA::MouseEventData* data)
{
    const auto repeatDelay = [this] { return getPane() ? getPane()->getCommonTimeInterval(Pane::eRepeatDelay) : 0; };
    switch (code) {
    case UIA::eEventMouseEnter:
        m_sigMouseEntered();
        if (m_hoverDelay > 0) {
            m_hoverPending = true;
            setTimer(m_hoverDelay);
        }
        break;
    case UIA::eEventMouseLeave:
        m_sigMouseExited();
        m_doubleClick = false;
        if (m_hoverPending) {
            m_hoverPending = false;
            setTimer(0);
        }
        break;
    case Pane::eEventLeftButtonDown: {
        m_doubleClick = false;
        flushHover();
        setTimer(repeatDelay());
        const tSignalData signalData{data->modifiers, true, false};
        m_sigPressed(&signalData, data->pos);
        break;
    }
    case Pane::eEventLeftButtonUp:
        flushHover();
        setTimer(0);
        m_doubleClick = false;
        m_sigReleased();
        break;
    case Pane::eEventLeftClick: {
        flushHover();
        setTimer(0);
        const tSignalData signalData{data->modifiers, true, m_doubleClick};
        m_sigClicked(&signalData);
        m_doubleClick = false;
        break;
    }
    case Pane::eEventRightClick: m_sigRightClicked(data); break;
    case Pane::eEventLeftDoubleClick: {
        m_doubleClick = true;
        flushHover();
        setTimer(repeatDelay());
        const tSignalData signalData{data->modifiers, true, true};
        m_sigPressed(&signalData, data->pos);
        if (m_separateDoubleClick)
            m_sigDoubleClicked(&signalData);
        else
            m_sigClicked(&signalData);
        break;
    }
    default: break;
    }
}

void Button::onTimer()
{
    if (m_hoverPending) {
        flushHover();
        return;
    }
    m_sigAutoRepeat();
    setTimer(getPane() ? getPane()->getCommonTimeInterval(Pane::eRepeatPeriod) : 0);
}

bool Button::onKey(unsigned code, UIA::KeyEventData* data)
{
    if (code != UIA::eEventKeyDown || (data->key & UIA::eKeyCodeMask) != UIA::eKeyReturn)
        return false;
    const tSignalData signalData{data->key & UIA::eModifierMask, data->firstPress, false};
    if (m_keyMode == eKeyModeClick)
        m_sigClicked(&signalData);
    else if (m_keyMode == eKeyModeDoubleClick)
        m_sigDoubleClicked(&signalData);
    return true;
}

}  // namespace QV::PXT
