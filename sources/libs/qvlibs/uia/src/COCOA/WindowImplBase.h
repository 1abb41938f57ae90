// The Cocoa side of a window: the platform window (an NSWindow of a run-time class, WindowClasses.h)
// and its content view (a QVCocoaView, View.h), with the window operations of DETAIL::WindowImpl
// over AppKit. Coordinates are converted between AppKit's bottom-left screen space and the system's
// top-left one (WindowRules.h).
//
// Destruction, whichever way it starts (destroy, the user closing the window, the view going away),
// sends eEventWindowDestroyed once and ends in onViewDestroyed, which tells the owner, deletes the
// owner when it is auto-deleted, and deletes this implementation.
#pragma once

#include "COCOA/WindowRules.h"
#include "UIA/DeviceContext.h"
#include "UIA/EventData.h"
#include "UIA/WindowImpl.h"

#include <objc/runtime.h>

#include <memory>

namespace QV::UIA::COCOA {

class WindowImplBase : public DETAIL::WindowImpl {
public:
    using eWindowClass = COCOA::eWindowClass;
    static constexpr eWindowClass eWindowClassWindow = COCOA::eWindowClassWindow;
    static constexpr eWindowClass eWindowClassPanel = COCOA::eWindowClassPanel;
    static constexpr eWindowClass eWindowClassDialog = COCOA::eWindowClassDialog;
    static constexpr eWindowClass eWindowClassOverlayPanel = COCOA::eWindowClassOverlayPanel;

    explicit WindowImplBase(WindowBase* owner);
    // Detaches a view still attached.
    ~WindowImplBase() override;

    // The platform window or its view went away: the owner forgets this implementation (and is
    // deleted when auto-delete is on), then this implementation deletes itself.
    virtual void onViewDestroyed();

    void attach(id view, id window);
    void attachWindow(id window);
    // Attaches the device context to a view's drawing context for one paint.
    DeviceContext* attachDCTo(CGContextRef context);
    void detachDC();

    eMouseButton getLastMouseButtonDown() const { return m_lastMouseButtonDown; }
    void setLastMouseButtonDown(eMouseButton button) { m_lastMouseButtonDown = button; }
    id getView() const { return m_pView; }
    id getWindow() const { return m_pWindow; }
    void* getCursor() const { return m_pCursor; }
    bool isModal() const { return m_bModal; }
    bool isRelativeMouseMove() const { return m_bRelativeMouseMove; }

    bool updateOffscreenPicture(const Picture& picture) override;
    bool isVisible() const override;
    void setTitle(const char* utf8) override;
    void setMenu(const HMenuBar& menuBar) override;
    void setWindowIcon(AppModule* module, int resourceId) override;
    void setCursor(void* cursor) override;
    void resetCursor() override;
    void show(bool show) override;
    void activate() override;
    void destroy() override;
    void minimize() override;
    void normalSize() override;
    void idealSize() override;
    bool isMinimized() const override;
    bool isNormalSize() const override;
    bool isIdealSize() const override;
    void invalidate() override;
    void invalidateRect(const GP::Rect& rect) override;
    void update() override;
    void onSetParent(WindowBase* parent) override;
    void getRect(GP::Rect& rect, bool content) const override;
    void setRect(const GP::Rect& rect, bool content) override;
    GP::Point getPosition(bool content) const override;
    void setPosition(const GP::Point& point, bool content) override;
    GP::Point getSize(bool content) const override;
    void setSize(const GP::Point& size, bool content) override;
    void getState(WindowState& state) override;
    void restoreState(const WindowState& state) override;
    void toScreen(GP::Point& point) const override;
    void toScreen(GP::Rect& rect) const override;
    void fromScreen(GP::Point& point) const override;
    void setKeyFocus() override;
    bool releaseKeyFocus() override;
    void setTrackMouseGlobal(bool track) override;
    void startRelativeMouseMove() override;
    void stopRelativeMouseMove() override;
    void textInputResetMarkedRange() override;
    void setModified(bool modified) override;

protected:
    void setModal(bool modal) { m_bModal = modal; }

private:
    // The frame, or the content rectangle, in AppKit's coordinates.
    CGRect windowRect(bool content) const;
    // The view's top-left corner on the screen, in the system's coordinates.
    GP::Point viewScreenOrigin() const;
    // Marks the view's current frame in its superview for redraw (before the view moves or resizes).
    void invalidateViewFrame() const;
    // Sets the view's size (or origin) with its autoresizing suspended, then redraws it.
    void setViewSize(const GP::Point& size);
    void setViewOrigin(const GP::Point& origin);

    id m_pView = nil;
    id m_pWindow = nil;
    void* m_pCursor = nullptr;
    std::unique_ptr<DeviceContext> m_pDC;
    bool m_bModal = false;
    eMouseButton m_lastMouseButtonDown = eMouseButton(0);
    bool m_bRelativeMouseMove = false;
};

}  // namespace QV::UIA::COCOA
