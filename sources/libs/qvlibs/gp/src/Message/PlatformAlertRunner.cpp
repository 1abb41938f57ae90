// The message box's platform alert: an NSAlert built from the alert record.
#include "GP/AlertRunner.h"
#include "GP/NSStringRef.h"

#include <AppKit/AppKit.h>

namespace QV::GP::DETAIL {

namespace {

NSAlertStyle platformStyle(eAlertStyle style)
{
    switch (style) {
    case eAlertStyleInformational: return NSAlertStyleInformational;
    case eAlertStyleCritical: return NSAlertStyleCritical;
    default: return NSAlertStyleWarning;  // also the platform's own default
    }
}

void setKeyEquivalent(id button, const char* key)
{
    NSStringRef text;
    text.createWith(key, true);
    objc::msgSend<void, NSString*>(button, objc::sel("setKeyEquivalent:"), text);
}

}  // namespace

Message::eButton PlatformAlertRunner::run(const tAlert& alert)
{
    id nsAlert = objc::msgSend<id>(objc::msgSend<id>(objc_getClass("NSAlert"), objc::sel("alloc")), objc::sel("init"));
    NSStringRef title, text;
    title.createWith(alert.m_title, true);
    text.createWith(alert.m_text, true);
    objc::msgSend<void, NSString*>(nsAlert, objc::sel("setMessageText:"), title);
    objc::msgSend<void, NSString*>(nsAlert, objc::sel("setInformativeText:"), text);
    if (alert.m_style != eAlertStyleDefault)
        objc::msgSend<void, NSAlertStyle>(nsAlert, objc::sel("setAlertStyle:"), platformStyle(alert.m_style));

    for (const tAlertButton& button : alert.m_buttons) {
        NSStringRef buttonTitle;
        buttonTitle.createWith(button.m_title, true);
        id nsButton = objc::msgSend<id, NSString*>(nsAlert, objc::sel("addButtonWithTitle:"), buttonTitle);
        objc::msgSend<void, NSInteger>(nsButton, objc::sel("setTag:"), button.m_tag);
        // The default button answers Return, and only it; Cancel answers Escape, as on the platform.
        if (alert.m_defaultButton)
            setKeyEquivalent(nsButton, button.m_tag == *alert.m_defaultButton ? "\r" : "");
        if (button.m_tag == Message::eButtonCancel && alert.m_defaultButton != Message::eButtonCancel)
            setKeyEquivalent(nsButton, "\033");
    }
    const NSModalResponse pressed = objc::msgSend<NSModalResponse>(nsAlert, objc::sel("runModal"));
    objc::msgSend<void>(nsAlert, objc::sel("release"));
    return static_cast<Message::eButton>(pressed);
}

}  // namespace QV::GP::DETAIL
