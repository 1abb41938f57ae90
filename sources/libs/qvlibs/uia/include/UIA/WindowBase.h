// A window of the UI layer: an event target that owns one platform window implementation
// (DETAIL::WindowImpl, WindowImpl.h). The window object is what the rest of the system holds and
// derives from; the implementation holds the platform objects and turns the platform's
// notifications into window events (eEventWindow*, the view's mouse, key and text events).
//
// Every operation on a window without implementation (before creation, after its platform window
// went away) is ignored or answers false, (0, 0) or not visible; getBackingScaleFactor is the one
// exception and needs a created window. Main thread only.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "UIA/EventTarget.h"

#include <objc/runtime.h>

#include <cstdint>
#include <vector>

namespace QV::GP {
class Region;
}

namespace QV::UIA {

class AppModule;
class Picture;
class TextInputBase;

namespace DETAIL {
class WindowImpl;
}

class WindowBase : public EventTarget {
public:
    // CreateData::flags.
    enum eCreateFlag : uint32_t {
        eCreateFlagSize = 0x1,      // content size from rect, else 400 x 300
        eCreateFlagPosition = 0x2,  // frame top-left at rect's left and top, else at (100, 100)
        eCreateFlagUpdater = 0x4,   // set by the updater's window; read by nobody
        eCreateFlagTitle = 0x10     // title given
    };
    // CreateData::style.
    enum eStyle : uint32_t {
        eStyleFixedSize = 0x1,  // no resize control, no full-screen behaviour
        eStyleResizable = 0x2,  // overrides eStyleFixedSize
        eStyleNoTitleBar = 0x8,
        eStyleClosable = 0x10,  // dialog-class windows only
        eStyleNoCloseButton = 0x20,
        eStyleBorderless = 0x80,
        eStyleFloating = 0x100,  // floating window level
        eStyleNonActivating = 0x200,
        eStylePopUpLevel = 0x800,  // pop-up level instead of floating; a panel works while a modal runs
        eStyleTransparent = 0x1000,
        eStyleScreenSaverLevel = 0x2000
    };

    // The creation parameters.
    struct CreateData {
        uint32_t flags = 0;
        uint32_t style = 0;
        GP::Rect rect;            // left and top: position; width and height: content size
        std::vector<char> title;  // UTF-8 with its terminating NUL

        // Copies the text with its terminating NUL and sets eCreateFlagTitle.
        void setTitle(const char* utf8);
    };

    WindowBase();
    // Deletes a remaining implementation.
    ~WindowBase() override;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    virtual void setCursor(void* cursor);
    virtual void resetCursor();

    // The implementation's destroy: eEventWindowDestroyed, the platform window closes, the
    // implementation goes (and the window object with it when auto-delete is on).
    void destroy();
    // The window object is deleted together with its platform window.
    void setAutoDelete(bool autoDelete);
    // Called by the implementation when it goes away.
    void onImplDestroyed();

    bool isVisible() const;
    // When the window is hidden and show is true, eEventWindowAboutToShow comes first.
    void show(bool show);
    void setWindowIcon(AppModule* module, int resourceId);
    void setKeyFocus();
    void startRelativeMouseMove();
    void stopRelativeMouseMove();
    void textInputResetMarkedRange();
    // Content point to screen point.
    void toScreen(GP::Point& point) const;

    void invalidate();
    void invalidateRegion(const GP::Region& region);
    GP::Point getSize(bool content) const;
    float getBackingScaleFactor() const;

    // The implementation's answer when the window pushes its content (useOffscreenPicture), else false.
    bool updateOffscreenPicture(const Picture& picture);
    bool useOffscreenPictureInsteadOfPaintEvent() const { return m_bUseOffscreenPicture; }
    bool hasAlphaBlending() const { return m_bAlphaBlending; }
    // Set by the implementation that makes a transparent platform window.
    void setAlphaBlending(bool alphaBlending) { m_bAlphaBlending = alphaBlending; }

    // The content view of a Cocoa implementation, else nil.
    id getNSView() const;

    // The text-input client of the widget that edits text; not owned.
    TextInputBase* getActiveTextInput() const { return m_pActiveTextInput; }
    void setActiveTextInput(TextInputBase* input) { m_pActiveTextInput = input; }

    DETAIL::WindowImpl* getImpl() const { return m_pImpl; }
    bool getAutoDelete() const { return m_bAutoDelete; }

protected:
    // For the creating subclass: takes ownership of the implementation.
    void setImpl(DETAIL::WindowImpl* impl) { m_pImpl = impl; }

private:
    DETAIL::WindowImpl* m_pImpl = nullptr;
    bool m_bAutoDelete = false;
    bool m_bUseOffscreenPicture = false;
    bool m_bAlphaBlending = false;
    TextInputBase* m_pActiveTextInput = nullptr;
};

}  // namespace QV::UIA
