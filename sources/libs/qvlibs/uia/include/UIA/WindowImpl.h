// The platform side of a window: the abstract implementation that a WindowBase owns. The Cocoa back
// end (src/Cocoa) supplies the pure operations; the others have the defaults described here.
// "content" selects the content area instead of the whole frame; every rectangle and point is in
// screen coordinates with the origin at the top-left of the first screen, y growing downwards.
// Main thread only.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "UIA/WindowBase.h"

#include <cstdint>

namespace QV::UIA {

class HMenuBar;
struct WindowState;

namespace DETAIL {

class WindowImpl {
public:
    explicit WindowImpl(WindowBase* owner) : m_pOwner(owner) {}
    virtual ~WindowImpl() = default;
    WindowImpl(const WindowImpl&) = delete;
    WindowImpl& operator=(const WindowImpl&) = delete;

    virtual bool updateOffscreenPicture(const Picture& picture) = 0;
    virtual bool isVisible() const = 0;
    virtual void setTitle(const char* utf8) = 0;
    virtual void setMenu(const HMenuBar& menuBar) = 0;
    virtual void setWindowIcon(AppModule* module, int resourceId) = 0;
    virtual void setCursor(void* cursor) = 0;
    virtual void resetCursor() = 0;
    virtual void show(bool show) = 0;
    virtual void activate() = 0;
    // Sends eEventWindowDestroyed, closes the platform window and deletes this implementation.
    virtual void destroy() = 0;
    virtual void maximize() {}
    virtual void minimize() {}
    virtual void normalSize() {}
    // In normal size only: asks the window eEventWindowQueryIdealSize and takes the answered content size.
    virtual void idealSize();
    virtual bool isMaximized() const { return false; }
    virtual bool isMinimized() const { return false; }
    virtual bool isNormalSize() const { return !isMinimized() && !isMaximized(); }
    // False when not in normal size; true when the window does not answer the ideal-size query, else
    // whether the content has the answered size.
    virtual bool isIdealSize() const;
    virtual void invalidate() = 0;
    virtual void invalidateRect(const GP::Rect& rect) = 0;
    // invalidateRect for each rectangle of the region (for its bounds when it keeps no list).
    virtual void invalidateRegion(const GP::Region& region);
    virtual void update() = 0;
    virtual void onSetParent(WindowBase*) {}
    virtual void getRect(GP::Rect& rect, bool content) const = 0;
    virtual void setRect(const GP::Rect& rect, bool content) = 0;
    virtual GP::Point getPosition(bool content) const;
    // Moves the rectangle so that its top-left is the point, keeping its size.
    virtual void setPosition(const GP::Point& point, bool content);
    virtual GP::Point getSize(bool content) const;
    // Keeps the top-left corner.
    virtual void setSize(const GP::Point& size, bool content);
    virtual float getBackingScaleFactor() const { return 1.0f; }
    virtual void getNormalSizeRect(GP::Rect& rect, bool content) const { getRect(rect, content); }
    virtual void setNormalSizeRect(const GP::Rect& rect, bool content) { setRect(rect, content); }
    virtual void getState(WindowState& state) = 0;
    virtual void restoreState(const WindowState& state) = 0;
    virtual void setFullScreenMode(const GP::Point&) {}
    virtual bool isFullScreenMode() const { return false; }
    virtual void resetFullScreenMode() {}
    // Content point (rectangle) to screen; fromScreen the other way.
    virtual void toScreen(GP::Point& point) const = 0;
    virtual void toScreen(GP::Rect& rect) const = 0;
    virtual void fromScreen(GP::Point& point) const = 0;
    virtual void setKeyFocus() = 0;
    virtual bool releaseKeyFocus() = 0;
    virtual void setTrackMouseGlobal(bool) {}
    virtual void startRelativeMouseMove() {}
    virtual void stopRelativeMouseMove() {}
    virtual void textInputResetMarkedRange() {}
    virtual void setModified(bool modified) = 0;
    // The owner's sendEvent; when it does not handle the event and toApplication is set, the current
    // application's answer instead.
    virtual bool sendEvent(unsigned code, EventData* data, bool toApplication);
    virtual bool isCocoa() const { return true; }

    WindowBase* getOwner() const { return m_pOwner; }
    bool getDeleteWindowObject() const { return m_bDeleteWindowObject; }
    void setDeleteWindowObject(bool deleteWindowObject) { m_bDeleteWindowObject = deleteWindowObject; }

private:
    WindowBase* m_pOwner;
    bool m_bDeleteWindowObject = false;
};

}  // namespace DETAIL
}  // namespace QV::UIA
