// A UI-layer window and a windowing pane in one object: the window shows the pane's widget tree.
// The window owns an off-screen canvas and drives the toolkit from its 40 ms event timer: each tick
// runs the widget timers, lets the pane align and collect the dirty region, paints that region
// into the canvas and marks it on the window; the platform's paint request only copies the canvas
// picture to the screen. Instance: Window<QV::UIA::StandaloneWindow>, made with new, auto-delete.
//
// Both bases have onEvent with one signature: the override here serves both, so the pane's slot
// also runs the window's whole handling, and both handlers always run (results OR'ed).
#pragma once

#include "GP/Region.h"
#include "PXT/BackgroundDrawingCanvas.h"
#include "PXT/WindowingPane.h"
#include "UIA/DeviceContext.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/HEventTimer.h"
#include "UIA/Window.h"

#include <memory>

namespace QV::PXT {

template <class W>
class Window : public W, public WindowingPane {
public:
    Window() : m_canvas(std::make_unique<BackgroundDrawingCanvas>()) {}
    ~Window() override
    {
        if (m_timer)
            W::killEventTimer(m_timer);
        m_canvas.reset();
        textInputEnd();
    }

    UIA::WindowBase* getWindow() override { return this; }
    bool onEvent(unsigned code, UIA::EventData* data) override;

    // Aligns and collects, then repaints the whole root area into the canvas.
    void redrawWholeWindow();
    // Paints the dirty region (the whole root area when it is empty) and hands the picture over
    // when the window takes pictures instead of paint events.
    void performRedraw(bool force);
    // One 40 ms tick: timers, align and collect, paint what changed and mark it on the window.
    void tick();

    const BackgroundDrawingCanvas& getCanvas() const { return *m_canvas; }
    const GP::Region& getDirtyRegion() const { return m_dirty; }

private:
    UIA::HEventTimer m_timer = nullptr;
    std::unique_ptr<BackgroundDrawingCanvas> m_canvas;
    GP::Region m_dirty;
};

template <class W>
bool Window<W>::onEvent(unsigned code, UIA::EventData* data)
{
    if (code == UIA::eEventWindowDestroyed) {
        if (m_timer) {
            W::killEventTimer(m_timer);
            m_timer = nullptr;
        }
        const bool r = W::onEvent(code, data);
        const bool pane = WindowingPane::onEvent(code, data);
        return r || pane;
    }
    const bool r = W::onEvent(code, data);
    switch (code) {
    case UIA::eEventTimer: tick(); return true;
    case UIA::eEventWindowCreated:
        m_canvas->setBackingScaleFactor(W::getBackingScaleFactor());
        W::invalidate();
        if (!m_timer)
            m_timer = W::setEventTimer(0, -10);
        [[fallthrough]];
    case UIA::eEventWindowSizeChanged:
        WindowingPane::setSize(W::getSize(true));
        m_canvas->onSize(WindowingPane::getSize());
        [[fallthrough]];
    case UIA::eEventWindowAboutToShow: redrawWholeWindow(); return true;
    case UIA::eEventWindowPaint: {
        auto* paint = static_cast<UIA::PaintEventData*>(data);
        const UIA::Picture* picture = m_canvas->getPicture();
        if (!W::useOffscreenPictureInsteadOfPaintEvent() && paint && paint->dc && picture->getWidth() > 0 &&
            picture->getHeight() > 0)
            paint->dc->updateFromPicture(*picture, W::hasAlphaBlending());
        return true;
    }
    case UIA::eEventWindowBackingScaleChanged:
        if (data)
            m_canvas->setBackingScaleFactor(static_cast<UIA::BackingScaleEventData*>(data)->scale);
        return r;
    case UIA::eEventWindowQuerySizeLimits:
    case UIA::eEventWindowQueryIdealSize: return r;
    default: {
        // Both handlers run: the pane must see every event the window also handles.
        const bool pane = WindowingPane::onEvent(code, data);
        return r || pane;
    }
    }
}

template <class W>
void Window<W>::tick()
{
    executeTimers();
    update(m_dirty);
    if (m_dirty.isEmpty())
        return;
    W::invalidateRegion(m_dirty);
    performRedraw(false);
}

template <class W>
void Window<W>::performRedraw(bool force)
{
    const GP::Point size = WindowingPane::getSize();
    if (size.x <= 0 || size.y <= 0)
        return;
    paint(*m_canvas, m_dirty, Pane::ePaintAll);
    m_dirty.clear();
    if (W::useOffscreenPictureInsteadOfPaintEvent() && (W::isVisible() || force))
        W::updateOffscreenPicture(*m_canvas->getPicture());
}

template <class W>
void Window<W>::redrawWholeWindow()
{
    update(m_dirty);
    if (!m_dirty.isEmpty())
        W::invalidateRegion(m_dirty);
    m_dirty.clear();
    performRedraw(true);
}

}  // namespace QV::PXT
