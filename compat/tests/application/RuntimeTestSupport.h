// What the application tests share: run-time classes that record what the stand-in sends them, and
// key events made without a display.
#pragma once

#include "AppKit/standin/Application.h"
#include "AppKit/standin/MenuState.h"
#include "AppKit/standin/Windowing.h"

#include <Foundation/Bridge.h>

#include <set>
#include <string>
#include <vector>

namespace qvcompat::appkit::test {

// Everything the recording classes saw, in order ("fire: 7", "validate 7", "menuWillOpen: File", ...).
inline std::vector<std::string> g_log;
// Tags whose validation answers NO.
inline std::set<NSInteger> g_disabledTags;
// What the application delegate answers to -applicationShouldTerminate:.
inline NSApplicationTerminateReply g_terminateReply = NSTerminateNow;

inline std::string titleOf(id menu) { return utf8Of(objc::msgSend<NSString*>(menu, objc::sel("title"))); }

inline void fire(id, SEL op, id item)
{
    g_log.push_back(std::string(sel_getName(op)) + " " +
                    std::to_string(objc::msgSend<NSInteger>(item, objc::sel("tag"))));
}

inline BOOL validate(id, SEL, id item)
{
    const NSInteger tag = objc::msgSend<NSInteger>(item, objc::sel("tag"));
    g_log.push_back("validate " + std::to_string(tag));
    return !g_disabledTags.count(tag);
}

inline void menuWillOpenNote(id, SEL op, id menu)
{
    g_log.push_back(std::string(sel_getName(op)) + " " + titleOf(menu));
}

// A target with the actions fire: and other:, validating by g_disabledTags, and a menu delegate.
inline Class recorderClass()
{
    if (Class known = objc_getClass("MenuTestRecorder"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "MenuTestRecorder", 0);
    objc::addMethod(cls, objc::sel("fire:"), &fire, "v@:@");
    objc::addMethod(cls, objc::sel("other:"), &fire, "v@:@");
    objc::addMethod(cls, objc::sel("validateMenuItem:"), &validate, "B@:@");
    objc::addMethod(cls, objc::sel("menuWillOpen:"), &menuWillOpenNote, "v@:@");
    objc_registerClassPair(cls);
    return cls;
}

inline void note(id, SEL op, id) { g_log.push_back(sel_getName(op)); }

inline NSApplicationTerminateReply shouldTerminate(id, SEL op, id)
{
    g_log.push_back(sel_getName(op));
    return g_terminateReply;
}

inline void willTerminate(id, SEL op, id)
{
    g_log.push_back(sel_getName(op));
    // What a death test can see of the order: the log, on standard error, before the exit.
    std::string all;
    for (const std::string& line : g_log)
        all += line + "|";
    fprintf(stderr, "%s\n", all.c_str());
}

inline Class appDelegateClass()
{
    if (Class known = objc_getClass("ApplicationTestDelegate"))
        return known;
    Class cls = objc_allocateClassPair(objc_getClass("NSObject"), "ApplicationTestDelegate", 0);
    for (const char* selector : {"applicationWillFinishLaunching:", "applicationDidFinishLaunching:",
                                 "applicationDidBecomeActive:", "applicationDidResignActive:"})
        objc::addMethod(cls, objc::sel(selector), &note, "v@:@");
    objc::addMethod(cls, objc::sel("applicationShouldTerminate:"), &shouldTerminate, "Q@:@");
    objc::addMethod(cls, objc::sel("applicationWillTerminate:"), &willTerminate, "v@:@");
    objc_registerClassPair(cls);
    return cls;
}

inline void appSendEvent(id self, SEL op, id event)
{
    g_log.push_back("app sendEvent:");
    objc_super up{self, class_getSuperclass(object_getClass(self))};
    objc::msgSendSuper<void, id>(&up, op, event);
}

// The program's subclass of NSApplication, which sees every window event first.
inline id application()
{
    Class cls = objc_getClass("TestApplication");
    if (!cls) {
        cls = objc_allocateClassPair(objc_getClass("NSApplication"), "TestApplication", 0);
        objc::addMethod(cls, objc::sel("sendEvent:"), &appSendEvent, "v@:@");
        objc_registerClassPair(cls);
    }
    return objc::msgSend<id>(cls, objc::sel("sharedApplication"));
}

inline id newMenu(const char* title)
{
    NSString* text = foundation::newString(title);
    id menu = objc::msgSend<id, NSString*>(objc::msgSend<id>(objc_getClass("NSMenu"), objc::sel("alloc")),
                                           objc::sel("initWithTitle:"), text);
    objc_release(text);
    return menu;
}

// Adds an item to `menu` (which holds it) and answers it.
inline id addItem(id menu, const char* title, const char* action, const char* key, NSInteger tag, id target,
                  NSEventModifierFlags mask = NSEventModifierFlagCommand)
{
    NSString* text = foundation::newString(title);
    NSString* keyText = foundation::newString(key);
    id item = objc::msgSend<id, NSString*, SEL, NSString*>(menu, objc::sel("addItemWithTitle:action:keyEquivalent:"),
                                                           text, action ? objc::sel(action) : nullptr, keyText);
    objc_release(text);
    objc_release(keyText);
    objc::msgSend<void, NSInteger>(item, objc::sel("setTag:"), tag);
    objc::msgSend<void, id>(item, objc::sel("setTarget:"), target);
    objc::msgSend<void, NSEventModifierFlags>(item, objc::sel("setKeyEquivalentModifierMask:"), mask);
    return item;
}

// Adds an item with `submenu` (released: the item holds it).
inline id addSubmenu(id menu, id submenu)
{
    id item = addItem(menu, titleOf(submenu).c_str(), nullptr, "", 0, nil);
    objc::msgSend<void, id>(item, objc::sel("setSubmenu:"), submenu);
    objc_release(submenu);
    return item;
}

// A key-down event (one reference, the caller's) of a character with modifier flags.
inline NSEvent* keyDown(char16_t character, NSEventModifierFlags flags, id window = nil)
{
    tEventRecord record;
    record.type = NSEventTypeKeyDown;
    record.modifierFlags = flags;
    record.characters = record.charactersIgnoringModifiers = std::u16string(1, character);
    return newEvent(record, window);
}

}  // namespace qvcompat::appkit::test
