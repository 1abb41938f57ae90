// The host of one widget tree in one area of a window: owns the root (and the overlay widgets),
// routes the UI layer's mouse and key events to the right widget, keeps the pointer roles (over,
// entered, pressed, focus, input), counts the widgets' timers, and turns invalidation into work:
// update() aligns the tree and collects the dirty region, paint() draws it onto a canvas.
//
// The pane names widgets it does not own (over, pressed, focus, input, timers); a widget leaving
// the pane clears them (onWidgetRemoved). Window services are virtual and do nothing here; the
// windowing pane implements them. Main thread only; the dirty word changes only atomically.
//
// Widget-level mouse codes sent to Widget::onMouse (b: 1 left, 2 right, 4 other):
//   100001 + b  button down, to the pressed widget
//   100007 + b  button up, to the pressed widget, for every held button
//   100013 + b  click: as up, when the pointer is over the pressed widget and no double-click
//   100019 + b  double-click, right after the down code
//   100025 + b  drag, to the pressed widget (b: the lowest held button)
//   1002 move, 1004 enter, 1005 leave, 1006 relative move.
#pragma once

#include "GP/Point.h"
#include "GP/Rect.h"
#include "GP/Region.h"
#include "PXT/Signal.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace QV::UIA {
class TextInputBase;
class WindowBase;
struct DragDropRequestEventData;
struct EventData;
struct KeyEventData;
struct MouseEventData;
struct MouseButtonEventData;
}  // namespace QV::UIA

namespace QV::PXT {

class Canvas;
class StyleSheet;
class Widget;

class Pane {
public:
    enum eMouseCodes : unsigned {
        eEventButtonDownBase = 100001,
        eEventButtonUpBase = 100007,
        eEventButtonClickBase = 100013,
        eEventButtonDoubleClickBase = 100019,
        eEventButtonDragBase = 100025,
        eEventLeftButtonDown = 100002,
        eEventLeftButtonUp = 100008,
        eEventLeftClick = 100014,
        eEventRightClick = 100015,
        eEventLeftDoubleClick = 100020,
        eEventLeftButtonDrag = 100026,
    };
    // Bits of the dirty word.
    enum eDirty : std::uint32_t {
        eDirtyInvalid = 1,
        eDirtyAlign = 2,
    };
    enum ePaintMode : int {
        ePaintRoot = 1,
        ePaintOverlays = 2,
        ePaintAll = 3,
    };
    // Indexes of the common time intervals (in timer ticks of 40 ms); the widgets here use the
    // first two, the rest are kept for widgets that may want them.
    enum eCommonTimeIntervals : int {
        eRepeatDelay = 0,
        eRepeatPeriod = 1,
        eCommonTimeIntervalCount = 5,
    };
    // Align passes per update at most.
    static constexpr int kMaxAlignPasses = 5;

    Pane() = default;
    virtual ~Pane();
    Pane(const Pane&) = delete;
    Pane& operator=(const Pane&) = delete;

    // --- Window services (nothing here) ------------------------------------------------------
    virtual GP::Rect getOverlayArea() const { return GP::Rect(0, 0, m_size.x, m_size.y); }
    virtual void invalidateOverlayArea();
    // The index into the UI layer's standard cursors.
    virtual void setCursor(int /*stdCursor*/) {}
    virtual void setCursorPos(const GP::Point& /*screenPos*/) {}
    virtual void setCursor(void* /*handle*/) {}
    virtual void resetCursor() {}
    virtual GP::Point translateToScreen(const GP::Point& p) const { return p; }
    virtual GP::Point translateToWindow(const GP::Point& p) const { return p; }
    virtual UIA::WindowBase* getWindow() { return nullptr; }
    virtual void startRelativeMouseMove() {}
    virtual void stopRelativeMouseMove() {}
    virtual std::string getTextFromClipboard() { return std::string(); }
    virtual void copyToClipboard(const std::string& /*text*/) {}
    virtual void textInputStart(UIA::TextInputBase* /*input*/) {}
    virtual void textInputEnd() {}
    virtual void textInputResetMarkedRange() {}
    // Runs a file dialog; onChosen gets the chosen file's path when the user confirms.
    virtual void openFileDialog(bool /*save*/, const std::string& /*caption*/, const std::filesystem::path& /*initial*/,
                                std::function<void(const std::string&)> /*onChosen*/)
    {}
    // Aligns a freshly installed tree at once (in a fixed area) and asks for a real align later.
    virtual void forceAlign();
    virtual void addOverlayWidget(const std::shared_ptr<Widget>& widget);
    virtual void removeOverlayWidget(Widget& widget);
    virtual bool onKey(unsigned code, UIA::KeyEventData* data);
    virtual bool onEvent(unsigned code, UIA::EventData* data);
    virtual void setModalKeyInput(bool /*modal*/) {}
    virtual void setKeyFocus() {}
    virtual void killFocus() {}

    // --- Tree ---------------------------------------------------------------------------------
    void setRoot(const std::shared_ptr<Widget>& root, const std::string& id);
    Widget* getRootWidget() const { return m_root.get(); }
    const std::shared_ptr<Widget>& getRoot() const { return m_root; }
    const GP::Point& getSize() const { return m_size; }
    void setSize(const GP::Point& size);
    const std::vector<std::shared_ptr<Widget>>& getOverlayWidgets() const { return m_overlays; }
    void eraseAllOverlayWidgets();
    // The pane's own sheet; none in this system, so lookups use the manager's default sheet.
    StyleSheet* getStyleSheet() const { return nullptr; }
    float getBackingScaleFactor() const { return m_backingScale; }
    int getCommonTimeInterval(eCommonTimeIntervals index) const { return m_commonTimeIntervals[index]; }

    // --- Pointer roles ------------------------------------------------------------------------
    Widget* getOverWidget() const { return m_over; }
    Widget* getEnteredWidget() const { return m_entered; }
    Widget* getPressedWidget() const { return m_pressed; }
    Widget* getFocusWidget() const { return m_focus; }
    Widget* getInputWidget() const { return m_input; }
    // Mouse button 1 (left) is recorded as pressed.
    bool isLeftButtonDown() const { return m_pressedButtons[1] != 0; }
    bool isButtonDown(unsigned button) const { return button < m_pressedButtons.size() && m_pressedButtons[button]; }
    bool isDoubleClickSeen() const { return m_doubleClickSeen; }
    // The roles stored directly, without the routing's invalidation and notifications.
    void setOverWidget(Widget* widget) { m_over = widget; }
    void setPressedWidget(Widget* widget, bool leftButtonDown)
    {
        m_pressed = widget;
        m_pressedButtons[1] = leftButtonDown ? 1 : 0;
    }
    void setFocusWidget(Widget* widget) { m_focus = widget; }
    void setInputWidget(Widget* widget) { m_input = widget; }
    void setOver(Widget* widget);
    void setDown(Widget* widget);
    void setInput(Widget* widget);
    // The focus moves to the nearest widget from `from` upwards that can take it.
    void moveFocusFrom(Widget* from);
    void checkMouseLeaveEnter(Widget* target, const GP::Point& position, unsigned modifiers);
    // Ends a press sequence without a release event: the pressed widget gets its up codes (no
    // click), and the held buttons and the double-click mark are forgotten.
    void cancelPress();
    // Ends a press sequence silently because a drag started from it: the platform's drag takes the
    // pointer and its release, so the over and pressed widgets, the held buttons and the
    // double-click mark are all forgotten (the old over and pressed widgets are repainted).
    void endPressForDrag();

    // --- Events -------------------------------------------------------------------------------
    bool onMouse(unsigned code, UIA::MouseEventData* data);
    // The hit test: (claimed by a filter, widget).
    std::pair<bool, std::shared_ptr<Widget>> filterMouseEventAndLocateTarget(unsigned code,
                                                                             UIA::MouseEventData* data) const;
    // The same for a drag request at its position, asking the widgets' drag-request filters.
    std::pair<bool, std::shared_ptr<Widget>>
    filterDragDropRequestEventAndLocateTarget(unsigned code, UIA::DragDropRequestEventData* data) const;
    void onWidgetRemoved(Widget& widget);

    // --- Ticks --------------------------------------------------------------------------------
    void orDirty(std::uint32_t bits) { m_dirty.fetch_or(bits); }
    std::uint32_t exchangeDirty(std::uint32_t value) { return m_dirty.exchange(value); }
    std::uint32_t getDirty() const { return m_dirty.load(); }
    void setTimerEntry(Widget* widget, int ticks) { m_timers[widget] = ticks; }
    // The entry's count becomes 0 when it exists; the next run removes it.
    void stopTimerEntry(Widget* widget);
    const std::map<Widget*, int>& getTimers() const { return m_timers; }
    void executeTimers();
    // Aligns the tree and adds the dirty areas (pane coordinates) to region.
    void update(GP::Region& region);
    // Paints the region (the whole root when empty).
    void paint(Canvas& canvas, const GP::Region& region, ePaintMode mode);
    void paintRegion(ePaintMode mode, const GP::Region& region, Canvas& canvas);

    // True when the first overlay widget comes, false when the last one goes.
    Signal<bool> m_sigOverlay;

private:
    // Align passes from the root in `area` until none is requested, at most kMaxAlignPasses.
    // Requests still pending after the last pass are raised again for the next update.
    std::uint32_t runAlignPasses(const GP::Rect& area, GP::Region& changed, std::uint32_t bits);
    void pressed(Widget* target, UIA::MouseButtonEventData* data, const GP::Point& local);
    void released(Widget* target, UIA::MouseEventData* data);
    // The overlays from the last added, then the root.
    template <class Filter>
    std::pair<bool, std::shared_ptr<Widget>> locateTargetAt(const GP::Point& p, const Filter& filter) const;
    // Through the widget's drag source first; onMouse when that did not take the code.
    void sendMouse(Widget& widget, unsigned code, UIA::MouseEventData& data);

    GP::Point m_size;
    std::shared_ptr<Widget> m_root;
    std::vector<std::shared_ptr<Widget>> m_overlays;
    Widget* m_over = nullptr;
    Widget* m_entered = nullptr;
    Widget* m_pressed = nullptr;
    bool m_doubleClickSeen = false;
    Widget* m_focus = nullptr;
    Widget* m_input = nullptr;
    std::atomic<std::uint32_t> m_dirty{0};
    std::array<std::uint8_t, 5> m_pressedButtons{};
    GP::Point m_lastMousePos;
    std::map<Widget*, int> m_timers;
    int m_timerRunDepth = 0;
    float m_backingScale = 1.0f;
    static constexpr int kRepeatDelayTicks = 5;   // 200 ms before a held button repeats
    static constexpr int kRepeatPeriodTicks = 1;  // then every 40 ms
    std::array<int, eCommonTimeIntervalCount> m_commonTimeIntervals = {kRepeatDelayTicks, kRepeatPeriodTicks, 5, 10, 5};
};

}  // namespace QV::PXT
