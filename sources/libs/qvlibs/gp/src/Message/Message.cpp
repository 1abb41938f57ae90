#include "GP/Message.h"

#include "GP/AlertRunner.h"
#include "GP/Application.h"
#include "GP/StringUtil.h"

#include <string>
#include <vector>

namespace QV::GP {

Message::ShowMessageFunctor Message::s_showMessageFunctor;

namespace {

using DETAIL::tAlertButton;

// The buttons of each set, in display order; empty for a type outside the set.
std::vector<Message::eButton> buttonsOf(Message::eType type)
{
    switch (type) {
    case Message::eTypeOK: return {Message::eButtonOK};
    case Message::eTypeOKCancel: return {Message::eButtonOK, Message::eButtonCancel};
    case Message::eTypeYesNo: return {Message::eButtonYes, Message::eButtonNo};
    case Message::eTypeYesNoCancel: return {Message::eButtonYes, Message::eButtonNo, Message::eButtonCancel};
    case Message::eTypeRetryCancel: return {Message::eButtonRetry, Message::eButtonCancel};
    case Message::eTypeAbortRetryIgnore: return {Message::eButtonAbort, Message::eButtonRetry, Message::eButtonIgnore};
    }
    return {};
}

DETAIL::eAlertStyle styleOf(Message::eIcon icon)
{
    switch (icon) {
    case Message::eIconInformation:
    case Message::eIconQuestion:
    case Message::eIconNote: return DETAIL::eAlertStyleInformational;
    case Message::eIconCritical: return DETAIL::eAlertStyleCritical;
    case Message::eIconWarning: return DETAIL::eAlertStyleWarning;
    }
    return DETAIL::eAlertStyleDefault;
}

}  // namespace

Message::eButton Message::show(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                               const char* title)
{
    if (s_showMessageFunctor)
        return s_showMessageFunctor(text, type, defaultButton, icon, title);

    const std::vector<eButton> buttons = buttonsOf(type);
    if (buttons.empty())
        return defaultButton;

    DETAIL::tAlert alert;
    alert.m_title = StringUtil::fromUTF_filter(std::string(title ? title : Application::s_pAppName));
    alert.m_text = StringUtil::fromUTF_filter(text.str());
    for (const eButton button : buttons) {
        alert.m_buttons.push_back(tAlertButton{DETAIL::buttonTitle(button), button});
        // The first button with the default's tag answers Return; with none, the alert keeps its own choice.
        if (button == defaultButton && !alert.m_defaultButton)
            alert.m_defaultButton = button;
    }
    alert.m_style = styleOf(icon);
    return DETAIL::alertRunner().run(alert);
}

}  // namespace QV::GP
