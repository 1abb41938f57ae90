// Menu handles: a handle names one menu object of the platform (an instance of the run-time class
// ComOrvendalCocoaMenu) and does not own it; menus live to the end of the process. HMenuBar is the
// main menu with the application menu at its head, HPopupMenu a menu attached to another as a
// submenu. Every command of a menu reaches the program as eEventCommandExecute, climbing from the
// menu to its supermenus until one has an event target (the menu bar's is the application).
//
// Main thread only.
#pragma once

#include "GP/CharSequence.h"

#include <objc/runtime.h>

#include <cstdint>
#include <map>

namespace QV::UIA {

class HPopupMenu;

// The flags of insertCommandAt.
enum eMenuItemFlag : unsigned {
    eMenuItemDisabled = 1,
    eMenuItemChecked = 2,
};

class HMenu {
public:
    HMenu() = default;
    // A handle on an existing menu object (null for none).
    explicit HMenu(id menu) : m_pMenu(menu) {}
    virtual ~HMenu() = default;
    HMenu(const HMenu&) = default;
    HMenu& operator=(const HMenu&) = default;

    id getMenu() const { return m_pMenu; }
    bool isNull() const { return m_pMenu == nullptr; }
    int getItemCount() const;

    // Inserts a command item at `pos` (pos < 0 appends) and answers that index. `flags` are
    // eMenuItemFlag bits; `key` is a key value with modifier bits (KeyCodes.h), 0 for none, shown as
    // the item's key equivalent and entered in the shortcut map. The built-in commands are placed
    // by the application menu: eCommandAbout and eCommandQuit insert nothing (Command-Q is entered
    // in the shortcut map), eCommandPreferences goes into the application menu with Command-','.
    int insertCommandAt(int pos, const GP::CharSequence<char>& title, int commandId, unsigned flags, unsigned key);
    // Inserts an item titled `title` that opens `submenu`; -1 (nothing inserted) when the submenu has
    // no items, else the index.
    int insertSubMenuAt(int pos, const GP::CharSequence<char>& title, const HPopupMenu& submenu);

    // The enabled state of the item with this command id; false when there is none. A receiver of
    // eEventCommandValidate sets the state with enableItemId, and the menu reads it back.
    bool getItemEnabledId(int commandId) const;
    void enableItemId(int commandId, bool enabled);

    // Every shortcut given to insertCommandAt: key value to command id.
    static std::map<uint32_t, int> s_mapCommandShortcuts;
    // Set between the UI layer's start-up and stop.
    static bool s_bInit;

protected:
    id m_pMenu = nullptr;
};

class HMenuBar : public HMenu {
public:
    // Makes the main menu: its event target is the current application, its first item opens the
    // application menu.
    void create();
    // The application menu (About, Services, Hide, Hide Others, Show All, Quit), made on first use
    // and the same menu afterwards.
    static HMenu getApplicationMenu();
};

class HPopupMenu : public HMenu {
public:
    // Makes a menu without event target: its commands climb to the menu it is attached to. The
    // argument is not used.
    void create(int unused = 0);
};

}  // namespace QV::UIA
