// Modal message boxes: assertion reports and the application's questions.
#pragma once

#include "GP/CharSequence.h"

#include <functional>

namespace QV::GP {

class Message {
public:
    // The button set.
    enum eType : int {
        eTypeOK = 0,                // OK
        eTypeOKCancel = 1,          // OK, Cancel
        eTypeYesNo = 2,             // Yes, No
        eTypeYesNoCancel = 3,       // Yes, No, Cancel
        eTypeRetryCancel = 4,       // Retry, Cancel
        eTypeAbortRetryIgnore = 5,  // Abort, Retry, Ignore
    };

    // Button tags, the results of show(). eButtonNone as the default button: no default button.
    enum eButton : int {
        eButtonOK = 0,
        eButtonCancel = 1,
        eButtonYes = 2,
        eButtonNo = 3,
        eButtonAbort = 4,
        eButtonRetry = 5,
        eButtonIgnore = 6,
        eButtonNone = 7,
    };

    // The alert's icon. Other values leave the alert's own default style.
    enum eIcon : int {
        eIconInformation = 0,  // informational
        eIconCritical = 1,     // critical
        eIconWarning = 2,      // warning
        eIconQuestion = 3,     // informational
        eIconNote = 4,         // informational
    };

    using ShowMessageFunctor = std::function<eButton(const CharSequence<char>& text, eType type, eButton defaultButton,
                                                     eIcon icon, const char* title)>;

    // When set, show() hands its arguments to this function and returns its answer instead of
    // showing anything. Empty at start.
    static ShowMessageFunctor s_showMessageFunctor;

    // Shows a modal alert with `title` as its message (the application name when null) and `text` as
    // its informative text, the buttons of `type` in their order, `defaultButton` answering Return
    // (none with eButtonNone), and returns the tag of the button pressed. A type outside the set shows
    // nothing and returns `defaultButton`. Invalid UTF-8 in title or text is dropped.
    static eButton show(const CharSequence<char>& text, eType type, eButton defaultButton, eIcon icon,
                        const char* title);
};

}  // namespace QV::GP
