#include "AppKit/NSAlert.h"
#include "AppKit/GtkMainThread.h"

#include <CoreFoundation/CoreFoundation.h>
#include <Foundation/ClassDefinition.h>

#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace qvcompat::appkit {

namespace {

// What the alert holds besides its runtime ivars: kept behind one pointer ivar.
struct tAlertState {
    NSString* messageText = nullptr;
    NSString* informativeText = nullptr;
    NSAlertStyle style = NSAlertStyleWarning;
    std::vector<NSButton*> buttons;  // retained
};

tAlertState& state(id self)
{
    Ivar ivar = class_getInstanceVariable(object_getClass(self), "m_state");
    auto** slot = reinterpret_cast<tAlertState**>(reinterpret_cast<char*>(self) + ivar_getOffset(ivar));
    if (!*slot)
        *slot = new tAlertState;
    return **slot;
}

void assign(NSString*& field, NSString* text)
{
    if (text)
        objc::msgSend<id>(text, objc::sel("retain"));
    objc::msgSend<void>(field, objc::sel("release"));
    field = text;
}

std::string utf8(NSString* text)
{
    const char* bytes = text ? objc::msgSend<const char*>(text, objc::sel("UTF8String")) : nullptr;
    return bytes ? bytes : "";
}

bool hasKeyEquivalent(NSButton* button, const char* key)
{
    return utf8(objc::msgSend<NSString*>(button, objc::sel("keyEquivalent"))) == key;
}

NSInteger tagOf(NSButton* button) { return objc::msgSend<NSInteger>(button, objc::sel("tag")); }

// A new string owned by the caller (no autorelease pool needed).
NSString* newString(const char* text)
{
    // A CFString is an NSString (the two are one object).
    CFStringRef string = CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
    return static_cast<NSString*>(const_cast<void*>(static_cast<const void*>(string)));
}

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
        gtk_dialog_add_button(GTK_DIALOG(dialog),
                              utf8(objc::msgSend<NSString*>(alert.buttons[i], objc::sel("title"))).c_str(),
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
    id button = objc::msgSend<id>(objc::msgSend<id>(NSButtonClass(), objc::sel("alloc")), objc::sel("init"));
    objc::msgSend<void, NSString*>(button, objc::sel("setTitle:"), title);
    objc::msgSend<void, NSInteger>(button, objc::sel("setTag:"),
                                   NSAlertFirstButtonReturn + static_cast<NSInteger>(alert.buttons.size()));
    if (alert.buttons.empty()) {
        NSString* returnKey = newString("\r");
        objc::msgSend<void, NSString*>(button, objc::sel("setKeyEquivalent:"), returnKey);
        objc::msgSend<void>(returnKey, objc::sel("release"));
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
        objc::msgSend<void>(ok, objc::sel("release"));
    }
    int pressed = -1;
    const bool shown = runOnMainThread([&] { pressed = ensureGtk() ? runDialog(alert) : report(alert); });
    if (!shown)
        pressed = report(alert);
    return tagOf(alert.buttons[static_cast<size_t>(pressed)]);
}

void dealloc(id self, SEL)
{
    tAlertState* alert = &state(self);
    assign(alert->messageText, nullptr);
    assign(alert->informativeText, nullptr);
    for (NSButton* button : alert->buttons)
        objc::msgSend<void>(button, objc::sel("release"));
    delete alert;
    objc_super up{self, foundation::NSObjectClass()};
    objc::msgSendSuper<void>(&up, objc::sel("dealloc"));
}

}  // namespace

Class NSAlertClass()
{
    static const Class s_class = foundation::ClassDefinition("NSAlert", foundation::NSObjectClass())
                                     .ivar("m_state", sizeof(void*), 3, "^v")
                                     .method("setMessageText:", &setMessageText, "v@:@")
                                     .method("messageText", &messageText, "@@:")
                                     .method("setInformativeText:", &setInformativeText, "v@:@")
                                     .method("informativeText", &informativeText, "@@:")
                                     .method("setAlertStyle:", &setAlertStyle, "v@:Q")
                                     .method("alertStyle", &alertStyle, "Q@:")
                                     .method("addButtonWithTitle:", &addButtonWithTitle, "@@:@")
                                     .method("buttonCount", &buttonCount, "Q@:")
                                     .method("runModal", &runModal, "q@:")
                                     .method("dealloc", &dealloc, "v@:")
                                     .registerClass();
    return s_class;
}

}  // namespace qvcompat::appkit
