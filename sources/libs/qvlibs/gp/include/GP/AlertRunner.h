// The seam between message boxes and the platform alert that shows them: Message::show() builds an
// alert record and hands it to the installed runner, which shows it modally and answers the tag of
// the button pressed.
#pragma once

#include "GP/Message.h"

#include <optional>
#include <string>
#include <vector>

namespace QV::GP::DETAIL {

enum eAlertStyle : int {
    eAlertStyleDefault = 0,  // whatever the platform alert shows by default
    eAlertStyleInformational = 1,
    eAlertStyleWarning = 2,
    eAlertStyleCritical = 3,
};

struct tAlertButton {
    std::string m_title;     // translated, UTF-8
    Message::eButton m_tag;  // answered when this button is pressed
};

struct tAlert {
    std::string m_title;                              // the alert's message text, valid UTF-8
    std::string m_text;                               // its informative text, valid UTF-8
    std::vector<tAlertButton> m_buttons;              // in display order, never empty
    std::optional<Message::eButton> m_defaultButton;  // the tag of the button answering Return, if any
    eAlertStyle m_style = eAlertStyleDefault;
};

class AlertRunner {
public:
    virtual ~AlertRunner() = default;

    // Shows the alert modally and blocks until a button is pressed; returns that button's tag.
    virtual Message::eButton run(const tAlert& alert) = 0;
};

// The platform's alert (NSAlert): a modal dialog on the main thread; without a display, or asked
// off the main thread while no main loop runs, the title and text go to standard error and the
// default button (else the first) answers.
class PlatformAlertRunner final : public AlertRunner {
public:
    Message::eButton run(const tAlert& alert) override;
};

// The installed runner (a PlatformAlertRunner until another is installed).
AlertRunner& alertRunner();

// Installs `runner` (not owned; it must stay alive while installed), or the platform runner for
// null. Returns the runner installed before it, null for the platform runner.
AlertRunner* setAlertRunner(AlertRunner* runner);

// The title of a button as the user sees it: its translation in the library text domain "lib".
std::string buttonTitle(Message::eButton button);

}  // namespace QV::GP::DETAIL
