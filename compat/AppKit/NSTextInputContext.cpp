// Text input: the window's GtkIMContext and the key bindings, delivering to the NSTextInputClient
// methods of the first responder.
#include "AppKit/standin/Windowing.h"

#include <Foundation/Bridge.h>
#include <Foundation/ClassDefinition.h>

#include <string>

namespace qvcompat::appkit {

namespace {

const objc::Selector s_init{"init"};
const objc::Selector s_window{"window"};
const objc::Selector s_firstResponder{"firstResponder"};
const objc::Selector s_insertText{"insertText:replacementRange:"};
const objc::Selector s_setMarkedText{"setMarkedText:selectedRange:replacementRange:"};
const objc::Selector s_unmarkText{"unmarkText"};
const objc::Selector s_doCommandBySelector{"doCommandBySelector:"};
const objc::Selector s_selectedRange{"selectedRange"};
const objc::Selector s_firstRect{"firstRectForCharacterRange:actualRange:"};

constexpr NSRange kNoRange{static_cast<NSUInteger>(NSNotFound), 0};

// The modifiers that choose a binding; the others (Caps Lock, keypad, function) do not matter.
constexpr NSEventModifierFlags kBindingModifiers =
    NSEventModifierFlagShift | NSEventModifierFlagCommand | NSEventModifierFlagOption | NSEventModifierFlagControl;

struct tBinding {
    unsigned short keyCode;  // the platform's virtual key code
    NSEventModifierFlags modifiers;
    const char* selector;
};

constexpr NSEventModifierFlags kShift = NSEventModifierFlagShift;
constexpr NSEventModifierFlags kCommand = NSEventModifierFlagCommand;

constexpr tBinding s_bindings[] = {
    {123, 0, "moveLeft:"},
    {124, 0, "moveRight:"},
    {126, 0, "moveUp:"},
    {125, 0, "moveDown:"},
    {123, kShift, "moveLeftAndModifySelection:"},
    {124, kShift, "moveRightAndModifySelection:"},
    {126, kShift, "moveUpAndModifySelection:"},
    {125, kShift, "moveDownAndModifySelection:"},
    {123, kCommand, "moveToLeftEndOfLine:"},
    {124, kCommand, "moveToRightEndOfLine:"},
    {123, kCommand | kShift, "moveToLeftEndOfLineAndModifySelection:"},
    {124, kCommand | kShift, "moveToRightEndOfLineAndModifySelection:"},
    {115, 0, "scrollToBeginningOfDocument:"},
    {119, 0, "scrollToEndOfDocument:"},
    {116, 0, "scrollPageUp:"},
    {121, 0, "scrollPageDown:"},
    {51, 0, "deleteBackward:"},
    {51, kShift, "deleteBackward:"},
    {117, 0, "deleteForward:"},
    {36, 0, "insertNewline:"},
    {76, 0, "insertNewline:"},
    {48, 0, "insertTab:"},
    {48, kShift, "insertBacktab:"},
    {53, 0, "cancelOperation:"},
};

struct tInputContext {
    id client = nil;  // not retained: the client owns its context
};

using ContextState = foundation::InstanceState<tInputContext>;

NSString* newUtf8String(const char* text) { return foundation::newString(text); }

id windowOf(id client)
{
    return objc::respondsToSelector(client, s_window) ? objc::msgSend<id>(client, s_window) : nil;
}

id inputClientOf(gpointer window) { return objc::msgSend<id>(static_cast<id>(window), s_firstResponder); }

void onCommit(GtkIMContext*, const gchar* text, gpointer window)
{
    id client = inputClientOf(window);
    if (!client || !objc::respondsToSelector(client, s_insertText))
        return;
    NSString* string = newUtf8String(text);
    objc::msgSend<void, id, NSRange>(client, s_insertText, string, kNoRange);
    objc_release(string);
}

void onPreeditChanged(GtkIMContext* context, gpointer window)
{
    id client = inputClientOf(window);
    if (!client)
        return;
    gchar* text = nullptr;
    gint cursor = 0;
    gtk_im_context_get_preedit_string(context, &text, nullptr, &cursor);
    if (!text || !*text) {
        if (objc::respondsToSelector(client, s_unmarkText))
            objc::msgSend<void>(client, s_unmarkText);
    } else if (objc::respondsToSelector(client, s_setMarkedText)) {
        NSString* string = newUtf8String(text);
        objc::msgSend<void, id, NSRange, NSRange>(client, s_setMarkedText, string,
                                                  NSRange{static_cast<NSUInteger>(cursor), 0}, kNoRange);
        objc_release(string);
    }
    g_free(text);
}

// Connects the input method to its window once, and to the content's X window.
GtkIMContext* inputMethodFor(id window)
{
    GtkIMContext* context = window ? windowInputMethod(static_cast<NSWindow*>(window)) : nullptr;
    if (!context)
        return nullptr;
    if (!g_object_get_data(G_OBJECT(context), "qv-connected")) {
        g_signal_connect(context, "commit", G_CALLBACK(onCommit), window);
        g_signal_connect(context, "preedit-changed", G_CALLBACK(onPreeditChanged), window);
        g_object_set_data(G_OBJECT(context), "qv-connected", GINT_TO_POINTER(1));
        GtkWidget* area = windowContentArea(static_cast<NSWindow*>(window));
        gtk_im_context_set_client_window(context, area ? gtk_widget_get_window(area) : nullptr);
        gtk_im_context_focus_in(context);
    }
    return context;
}

// Puts the input method's candidate window at the client's selection.
void placeCursor(GtkIMContext* context, id window, id client)
{
    if (!objc::respondsToSelector(client, s_firstRect) || !objc::respondsToSelector(client, s_selectedRange))
        return;
    const NSRange selected = objc::msgSend<NSRange>(client, s_selectedRange);
    const NSRect onScreen = objc::msgSend<NSRect, NSRange, NSRange*>(client, s_firstRect, selected, nullptr);
    const NSRect inWindow = objc::msgSend<NSRect, NSRect>(window, objc::sel("convertRectFromScreen:"), onScreen);
    const double height = windowContentHeight(static_cast<NSWindow*>(window));
    GdkRectangle cursor{static_cast<int>(inWindow.origin.x),
                        static_cast<int>(height - inWindow.origin.y - inWindow.size.height),
                        static_cast<int>(inWindow.size.width), static_cast<int>(inWindow.size.height)};
    gtk_im_context_set_cursor_location(context, &cursor);
}

bool insertsText(const std::u16string& characters, NSEventModifierFlags flags)
{
    if (characters.empty() || (flags & (NSEventModifierFlagCommand | NSEventModifierFlagControl)))
        return false;
    for (char16_t c : characters)
        if (c < 0x20 || c == 0x7F || (c >= 0xF700 && c <= 0xF8FF))
            return false;
    return true;
}

id initWithClient(id self, SEL, id client)
{
    objc_super here{self, NSTextInputContextClass()};
    self = objc::msgSendSuper<id>(&here, s_init);
    if (self)
        ContextState::of(self).client = client;
    return self;
}

id client(id self, SEL) { return ContextState::of(self).client; }

void discardMarkedText(id self, SEL)
{
    if (GtkIMContext* context = inputMethodFor(windowOf(ContextState::of(self).client)))
        gtk_im_context_reset(context);
}

BOOL handleEvent(id self, SEL, id event)
{
    if (!objc::isKindOfClass(event, NSEventClass()) ||
        eventRecord(static_cast<NSEvent*>(event)).type != NSEventTypeKeyDown)
        return NO;
    interpretKeyEvent(ContextState::of(self).client, static_cast<NSEvent*>(event));
    return YES;
}

id currentInputContext(id, SEL)
{
    Class application = objc_getClass("NSApplication");
    id app = application ? objc::msgSend<id>(application, objc::sel("sharedApplication")) : nil;
    id window = app ? objc::msgSend<id>(app, objc::sel("keyWindow")) : nil;
    id responder = window ? objc::msgSend<id>(window, s_firstResponder) : nil;
    return responder && objc::respondsToSelector(responder, objc::sel("inputContext"))
               ? objc::msgSend<id>(responder, objc::sel("inputContext"))
               : nil;
}

Protocol* textInputClientProtocol()
{
    static Protocol* const s_protocol = [] {
        if (Protocol* known = objc_getProtocol("NSTextInputClient"))
            return known;
        Protocol* made = objc_allocateProtocol("NSTextInputClient");
        objc_registerProtocol(made);
        return made;
    }();
    return s_protocol;
}

}  // namespace

Class NSTextInputContextClass()
{
    static const Class s_class = [] {
        textInputClientProtocol();
        return foundation::ClassDefinition("NSTextInputContext", foundation::NSObjectClass())
            .state<tInputContext>()
            .method("initWithClient:", &initWithClient, "@@:@")
            .method("client", &client, "@@:")
            .method("discardMarkedText", &discardMarkedText, "v@:")
            .method("handleEvent:", &handleEvent, "B@:@")
            .classMethod("currentInputContext", &currentInputContext, "@@:")
            .registerClass();
    }();
    return s_class;
}

const char* keyBindingFor(unsigned short keyCode, char16_t, NSEventModifierFlags flags)
{
    const NSEventModifierFlags modifiers = flags & kBindingModifiers;
    for (const tBinding& binding : s_bindings)
        if (binding.keyCode == keyCode && binding.modifiers == modifiers)
            return binding.selector;
    return nullptr;
}

void interpretKeyEvent(id client, NSEvent* event)
{
    if (!client || !event)
        return;
    const tEventRecord& record = eventRecord(event);
    if (record.type != NSEventTypeKeyDown)
        return;
    id window = windowOf(client);
    GtkIMContext* context = inputMethodFor(window);
    const GdkEvent* gdk = eventGdk(event);
    if (context && gdk && gdk->type == GDK_KEY_PRESS) {
        GdkEventKey key = gdk->key;
        if (gtk_im_context_filter_keypress(context, &key)) {
            placeCursor(context, window, client);
            return;
        }
    }
    const char16_t first = record.characters.empty() ? 0 : record.characters.front();
    if (const char* selector = keyBindingFor(record.keyCode, first, record.modifierFlags)) {
        if (objc::respondsToSelector(client, s_doCommandBySelector))
            objc::msgSend<void, SEL>(client, s_doCommandBySelector, objc::sel(selector));
    } else if (insertsText(record.characters, record.modifierFlags) && objc::respondsToSelector(client, s_insertText)) {
        NSString* string = static_cast<NSString*>(foundation::asObject(CFStringCreateWithCharacters(
            kCFAllocatorDefault, reinterpret_cast<const UniChar*>(record.characters.data()),
            static_cast<CFIndex>(record.characters.size()))));
        objc::msgSend<void, id, NSRange>(client, s_insertText, string, kNoRange);
        objc_release(string);
    }
    if (context)
        placeCursor(context, window, client);
}

}  // namespace qvcompat::appkit
