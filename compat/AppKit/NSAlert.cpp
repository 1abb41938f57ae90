#include "AppKit/NSAlert.h"

#include "AppKit/AppKitClasses.h"
#include "AppKit/gtk/GtkMainThread.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace qvcompat::appkit {

namespace {

using foundation::newString;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_init{"init"};
const objc::Selector s_UTF8String{"UTF8String"};
const objc::Selector s_keyEquivalent{"keyEquivalent"};
const objc::Selector s_setKeyEquivalent{"setKeyEquivalent:"};
const objc::Selector s_title{"title"};
const objc::Selector s_setTitle{"setTitle:"};
const objc::Selector s_tag{"tag"};
const objc::Selector s_setTag{"setTag:"};

struct tAlertState {
    tAlertState() = default;
    tAlertState(const tAlertState&) = delete;
    tAlertState& operator=(const tAlertState&) = delete;
    ~tAlertState()
    {
        objc_release(messageText);
        objc_release(informativeText);
        for (NSButton* button : buttons)
            objc_release(button);
    }

    NSString* messageText = nullptr;      // retained
    NSString* informativeText = nullptr;  // retained
    NSAlertStyle style = NSAlertStyleWarning;
    std::vector<NSButton*> buttons;  // retained
};

tAlertState& state(id self) { return foundation::InstanceState<tAlertState>::of(self); }

void assign(NSString*& field, NSString* text)
{
    objc_retain(text);
    objc_release(std::exchange(field, text));
}

std::string utf8(NSString* text)
{
    const char* bytes = text ? objc::msgSend<const char*>(text, s_UTF8String) : nullptr;
    return bytes ? bytes : "";
}

bool hasKeyEquivalent(NSButton* button, const char* key)
{
    return utf8(objc::msgSend<NSString*>(button, s_keyEquivalent)) == key;
}

NSInteger tagOf(NSButton* button) { return objc::msgSend<NSInteger>(button, s_tag); }

// The index of the first button with that key equivalent, or -1.
int buttonWithKey(const tAlertState& alert, const char* key)
{
    for (size_t i = 0; i < alert.buttons.size(); ++i)
        if (hasKeyEquivalent(alert.buttons[i], key))
            return static_cast<int>(i);
    return -1;
}

int defaultIndex(const tAlertState& alert)
{
    const int index = buttonWithKey(alert, "\r");
    return index >= 0 ? index : 0;
}

GtkMessageType messageType(NSAlertStyle style)
{
    switch (style) {
    case NSAlertStyleInformational: return GTK_MESSAGE_INFO;
    case NSAlertStyleCritical: return GTK_MESSAGE_ERROR;
    default: return GTK_MESSAGE_WARNING;
    }
}

// The modal dialog; the index of the button pressed, or the Escape/close answer.
int runDialog(const tAlertState& alert)
{
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, messageType(alert.style), GTK_BUTTONS_NONE,
                                               "%s", utf8(alert.messageText).c_str());
    const std::string informative = utf8(alert.informativeText);
    if (!informative.empty())
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", informative.c_str());
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    // GTK's response ids of 0 and up belong to the application: one per button, its index.
    for (size_t i = 0; i < alert.buttons.size(); ++i)
        gtk_dialog_add_button(GTK_DIALOG(dialog), utf8(objc::msgSend<NSString*>(alert.buttons[i], s_title)).c_str(),
                              static_cast<gint>(i));
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), defaultIndex(alert));
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    if (response >= 0 && static_cast<size_t>(response) < alert.buttons.size())
        return response;
    const int escape = buttonWithKey(alert, "\033");
    return escape >= 0 ? escape : defaultIndex(alert);
}

// Without a dialog: the texts on standard error, the default button's answer.
int report(const tAlertState& alert)
{
    std::fprintf(stderr, "%s\n%s\n", utf8(alert.messageText).c_str(), utf8(alert.informativeText).c_str());
    std::fflush(stderr);
    return defaultIndex(alert);
}

void setMessageText(id self, SEL, NSString* text) { assign(state(self).messageText, text); }
NSString* messageText(id self, SEL) { return state(self).messageText; }
void setInformativeText(id self, SEL, NSString* text) { assign(state(self).informativeText, text); }
NSString* informativeText(id self, SEL) { return state(self).informativeText; }
void setAlertStyle(id self, SEL, NSAlertStyle style) { state(self).style = style; }
NSAlertStyle alertStyle(id self, SEL) { return state(self).style; }
NSUInteger buttonCount(id self, SEL) { return state(self).buttons.size(); }

NSButton* addButtonWithTitle(id self, SEL, NSString* title)
{
    tAlertState& alert = state(self);
    id button = objc::msgSend<id>(objc::msgSend<id>(NSButtonClass(), s_alloc), s_init);
    objc::msgSend<void, NSString*>(button, s_setTitle, title);
    objc::msgSend<void, NSInteger>(button, s_setTag,
                                   NSAlertFirstButtonReturn + static_cast<NSInteger>(alert.buttons.size()));
    if (alert.buttons.empty()) {
        NSString* returnKey = newString("\r");
        objc::msgSend<void, NSString*>(button, s_setKeyEquivalent, returnKey);
        objc_release(returnKey);
    }
    alert.buttons.push_back(static_cast<NSButton*>(button));
    return static_cast<NSButton*>(button);
}

NSModalResponse runModal(id self, SEL)
{
    tAlertState& alert = state(self);
    if (alert.buttons.empty()) {
        NSString* ok = newString("OK");
        addButtonWithTitle(self, nullptr, ok);
        objc_release(ok);
    }
    int pressed = -1;
    const bool shown = runOnMainThread([&] { pressed = ensureGtk() ? runDialog(alert) : report(alert); });
    if (!shown)
        pressed = report(alert);
    return tagOf(alert.buttons[static_cast<size_t>(pressed)]);
}

}  // namespace

Class NSAlertClass()
{
    static const Class s_class = foundation::ClassDefinition("NSAlert", foundation::NSObjectClass())
                                     .state<tAlertState>()
                                     .method("setMessageText:", &setMessageText, "v@:@")
                                     .method("messageText", &messageText, "@@:")
                                     .method("setInformativeText:", &setInformativeText, "v@:@")
                                     .method("informativeText", &informativeText, "@@:")
                                     .method("setAlertStyle:", &setAlertStyle, "v@:Q")
                                     .method("alertStyle", &alertStyle, "Q@:")
                                     .method("addButtonWithTitle:", &addButtonWithTitle, "@@:@")
                                     .method("buttonCount", &buttonCount, "Q@:")
                                     .method("runModal", &runModal, "q@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
