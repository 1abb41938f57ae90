// The content view's key methods: key down and up, modifier changes, key equivalents and the
// view's own shortcut step.
#include "COCOA/KeyEventConversion.h"
#include "COCOA/ViewState.h"
#include "Keys/Keys.h"
#include "UIA/CommandIds.h"
#include "UIA/EventCodes.h"
#include "UIA/KeyCodes.h"
#include "UIA/TextInputBase.h"
#include "UIA/WindowHost.h"

#include <set>
#include <utility>

namespace QV::UIA::COCOA::ViewDetail {

namespace {

using objc::msgSend;

const objc::Selector s_retain{"retain"};
const objc::Selector s_release{"release"};
const objc::Selector s_type{"type"};
const objc::Selector s_keyCode{"keyCode"};
const objc::Selector s_isARepeat{"isARepeat"};
const objc::Selector s_modifierFlags{"modifierFlags"};
const objc::Selector s_arrayWithObjectsCount{"arrayWithObjects:count:"};
const objc::Selector s_interpretKeyEvents{"interpretKeyEvents:"};
const objc::Selector s_inputContext{"inputContext"};
const objc::Selector s_discardMarkedText{"discardMarkedText"};
const objc::Selector s_performMiniaturize{"performMiniaturize:"};
const objc::Selector s_performClose{"performClose:"};

// The commands being executed by the shortcut step, against re-entry.
std::set<int> s_setLastCommands;

void hold(id& slot, id event)
{
    msgSend<id>(event, s_retain);
    msgSend<void>(std::exchange(slot, event), s_release);
}

bool hasMarkedText(id self)
{
    WindowImplBase* impl = implOf(self);
    TextInputBase* input = impl ? impl->getOwner()->getActiveTextInput() : nullptr;
    return input && input->getMarkedRange().length != 0;
}

bool sendKey(id self, unsigned code, uint32_t key, uint32_t independent, bool firstPress)
{
    KeyEventData data;
    data.key = key;
    data.layoutIndependentKey = independent;
    data.firstPress = firstPress;
    return sendToWindowThenApplication(self, code, &data);
}

// The key value of a key event (with its modifiers), its layout-independent key in `independent`.
uint32_t keyValueOf(id event, uint32_t& independent)
{
    return convertKeyEventToUIA(static_cast<NSEvent*>(event), &independent);
}

// The plain table's value of the event's key, without modifiers (virtual key codes up to 255 only).
uint32_t plainKeyValue(id event, uint32_t& independent)
{
    independent = 0;
    const unsigned virtualKey = msgSend<unsigned short>(event, s_keyCode);
    return virtualKey <= 255 ? DETAIL::Keys::macOSToUIA(virtualKey, independent) : 0;
}

}  // namespace

// The shortcut step (active only when the application-target value is 1): the accelerator table,
// then the main menu, then the command as an event; else the few built-in Command keys.
bool handleKeyShortcut(id self)
{
    tTextInputState* state = stateOf(self);
    if (!state)
        return false;
    if (state->shortcutHandled)
        return true;
    DETAIL::WindowHost& host = DETAIL::WindowHost::get();
    WindowImplBase* impl = implOf(self);
    if (host.appTarget() != 1 || !impl || !state->lastKeyEvent || msgSend<BOOL>(state->lastKeyEvent, s_isARepeat))
        return false;
    const uint32_t key = state->lastKey;
    bool handled = false;
    const int command = host.acceleratorCommand(key);
    if (command > 0 && command != eCommandQuit) {
        if (s_setLastCommands.count(command))
            return true;
        s_setLastCommands.insert(command);
        if (host.mainMenuPerformKeyEquivalent(state->lastKeyEvent)) {
            handled = true;
        } else {
            CommandExecuteEventData data;
            data.commandId = command;
            handled = sendToWindowThenApplication(self, eEventCommandExecute, &data);
        }
        s_setLastCommands.erase(command);
    }
    impl = implOf(self);
    state = stateOf(self);
    if (!handled && impl && state && (key & eModifierCommand) && impl->getWindow()) {
        handled = true;
        switch (key & eKeyCodeMask) {
        case 'A':
            msgSend<void>(msgSend<id>(self, s_inputContext), s_discardMarkedText);
            if (TextInputBase* input = impl->getOwner()->getActiveTextInput())
                input->selectAll();
            break;
        case 'H': host.hideApplication((key & eModifierShift) != 0); break;
        case 'M': msgSend<void, id>(impl->getWindow(), s_performMiniaturize, nil); break;
        case 'W': msgSend<void, id>(impl->getWindow(), s_performClose, nil); break;
        default: handled = false;
        }
    }
    if (handled && (state = stateOf(self)))
        state->shortcutHandled = true;
    return handled;
}

bool handleKeyDown(id self, id event)
{
    tTextInputState* state = stateOf(self);
    if (!state || state->keyDownNesting > 0)
        return false;
    RetainScope keep(self);
    ++state->keyDownNesting;
    hold(state->lastKeyEvent, event);
    bool handled = false;
    if (implOf(self)) {
        uint32_t independent = 0;
        const uint32_t key = keyValueOf(event, independent);
        state->lastKey = key;
        const bool firstPress = !msgSend<BOOL>(event, s_isARepeat);
        if ((key & eKeyCodeMask) || independent) {
            if (!hasMarkedText(self) && sendKey(self, eEventKeyDown, key, independent, firstPress)) {
                handled = true;
            } else {
                state->textHandled = false;
                void* pool = objc_autoreleasePoolPush();
                id events =
                    msgSend<id, const id*, NSUInteger>(objc_getClass("NSArray"), s_arrayWithObjectsCount, &event, 1);
                msgSend<void, id>(self, s_interpretKeyEvents, events);
                objc_autoreleasePoolPop(pool);
                if (tTextInputState* now = stateOf(self)) {
                    handled = now->textHandled || handleKeyShortcut(self);
                    now->shortcutHandled = false;
                }
            }
        } else {
            const uint32_t plain = plainKeyValue(event, independent);
            if (plain || independent)
                handled = sendKey(self, eEventKeyDown, plain, independent, firstPress);
        }
    }
    if (tTextInputState* now = stateOf(self))
        --now->keyDownNesting;
    return handled;
}

bool handleKeyUp(id self, id event)
{
    tTextInputState* state = stateOf(self);
    if (!state)
        return false;
    msgSend<void>(std::exchange(state->lastKeyEvent, nil), s_release);
    msgSend<void>(std::exchange(state->keyEquivalentEvent, nil), s_release);
    state->lastKey = 0;
    state->shortcutHandled = false;
    state->textHandled = false;
    if (!implOf(self))
        return false;
    uint32_t independent = 0;
    uint32_t key = keyValueOf(event, independent);
    if (!key)
        key = plainKeyValue(event, independent);
    if (!key && !independent)
        return false;
    RetainScope keep(self);
    return sendKey(self, eEventKeyUp, key, independent, false);
}

void releaseKeyState(tTextInputState& state)
{
    msgSend<void>(std::exchange(state.lastKeyEvent, nil), s_release);
    msgSend<void>(std::exchange(state.keyEquivalentEvent, nil), s_release);
}

namespace {

void sendModifiers(id self, id event)
{
    ModifierKeysEventData data;
    data.modifiers = modifierBitsFromCocoa(msgSend<NSEventModifierFlags>(event, s_modifierFlags));
    data.keyCode = msgSend<unsigned short>(event, s_keyCode);
    sendToWindowThenApplication(self, eEventModifiersChanged, &data);
}

void keyDown(id self, SEL op, id event)
{
    // A key that -performKeyEquivalent: handed over already is not handed over again.
    tTextInputState* state = stateOf(self);
    if (state && state->keyEquivalentEvent && state->keyEquivalentEvent == event) {
        msgSend<void>(std::exchange(state->keyEquivalentEvent, nil), s_release);
        passToSuper(self, op, event);
        return;
    }
    if (!handleKeyDown(self, event))
        passToSuper(self, op, event);
}

void keyUp(id self, SEL op, id event)
{
    if (!handleKeyUp(self, event))
        passToSuper(self, op, event);
}

void flagsChanged(id self, SEL op, id event)
{
    RetainScope keep(self);
    sendModifiers(self, event);
    passToSuper(self, op, event);
}

BOOL performKeyEquivalent(id self, SEL, id event)
{
    if (!implOf(self))
        return NO;
    RetainScope keep(self);
    switch (msgSend<NSEventType>(event, s_type)) {
    case NSEventTypeFlagsChanged: sendModifiers(self, event); return NO;
    case NSEventTypeKeyUp: return handleKeyUp(self, event) ? YES : NO;
    case NSEventTypeKeyDown: {
        const bool handled = handleKeyDown(self, event);
        if (tTextInputState* state = stateOf(self))
            hold(state->keyEquivalentEvent, handled ? nil : event);
        return handled ? YES : NO;
    }
    default: return NO;
    }
}

}  // namespace

void addKeyMethods(GP::OBJC::ClassFactory& factory)
{
    factory.addMethod(sel_registerName("keyDown:"), reinterpret_cast<IMP>(&keyDown), "v@:@");
    factory.addMethod(sel_registerName("keyUp:"), reinterpret_cast<IMP>(&keyUp), "v@:@");
    factory.addMethod(sel_registerName("flagsChanged:"), reinterpret_cast<IMP>(&flagsChanged), "v@:@");
    factory.addMethod(sel_registerName("performKeyEquivalent:"), reinterpret_cast<IMP>(&performKeyEquivalent), "B@:@");
}

}  // namespace QV::UIA::COCOA::ViewDetail
