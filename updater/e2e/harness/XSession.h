// One Xlib connection of a test or tool to the X server in DISPLAY: finds a program's top-level
// windows by title, reads what the server shows of them, and types and clicks there through XTest,
// as a person would. Errors about windows that went away meanwhile are not fatal.
#pragma once

#include "Image.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace QV::E2E {

using XWindowId = unsigned long;

class XSession {
public:
    // Connects to `display` (DISPLAY when empty).
    explicit XSession(const std::string& display = "");
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool connected() const { return m_display != nullptr; }

    // Every viewable top-level window, bottom first.
    std::vector<XWindowId> viewableWindows() const;
    // The viewable top-level windows whose title (_NET_WM_NAME, else WM_NAME) is `title`.
    std::vector<XWindowId> windowsTitled(const std::string& title) const;
    // Waits until such a window is viewable; 0 when the deadline passes first.
    XWindowId waitForWindow(const std::string& title, std::chrono::milliseconds timeout) const;
    // The title of a window, empty when it has none or is gone.
    std::string title(XWindowId window) const;

    // The window's rectangle on the screen (its inside, without a frame); empty when it is gone.
    std::optional<tRect> geometry(XWindowId window) const;

    // The pixels the server shows inside the window; empty when it is gone.
    Image grab(XWindowId window) const;

    // Moves the pointer to a point of the window and clicks the button `count` times.
    void click(XWindowId window, int x, int y, int count = 1, unsigned button = 1) const;
    // Moves the pointer to a point of the window.
    void movePointer(XWindowId window, int x, int y) const;
    // Presses and releases a key by its keysym name ("Return", "Escape", "q"), with the modifier
    // keys named in `modifiers` ("Control_L", "Alt_L") held meanwhile.
    void key(const std::string& keysym, const std::vector<std::string>& modifiers = {}) const;

    // Waits until the server has handled every request sent so far.
    void sync() const;

    // The connection, for requests of extensions the session does not wrap.
    Display* display() const { return m_display; }

private:
    Display* m_display = nullptr;
};

}  // namespace QV::E2E
