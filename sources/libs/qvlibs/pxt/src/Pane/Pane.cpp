#include "PXT/Pane.h"

#include "PXT/Canvas.h"
#include "PXT/Widget.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"

#include <algorithm>

namespace QV::PXT {

namespace {

constexpr std::uint64_t kHittable = Widget::eFlagActive | Widget::eFlagParentShown | Widget::eFlagVisible |
                                    Widget::eFlagEnabled | Widget::eFlagParentEnabled;

// The hit test shared by mouse events and drag requests; `filter` asks the widget's filter
// operation for the event at hand.
template <class Filter>
std::pair<bool, std::shared_ptr<Widget>> locateTarget(Widget& w, const GP::Point& p, const Filter& filter)
{
    if ((w.getFlags() & kHittable) != kHittable)
        return {false, nullptr};
    const bool inside = !w.getClipRect().isEmpty() && w.getClipRect().contains(p);
    if (filter(w, inside))
        return {true, w.shared_from_this()};
    if (!inside)
        return {false, nullptr};
    const std::vector<std::shared_ptr<Widget>>& children = w.getChildrenByZIndex();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        auto result = locateTarget(**child, p, filter);
        if (result.second)
            return result;
    }
    if (w.getHitTest() && !w.getHitTest()(GP::Point(p.x - w.getAbsolutePos().x, p.y - w.getAbsolutePos().y)))
        return {false, nullptr};
    return {false, w.shared_from_this()};
}

GP::Point relativeTo(const Widget& w, const GP::Point& p)
{
    return GP::Point(p.x - w.getAbsolutePos().x, p.y - w.getAbsolutePos().y);
}

}  // namespace

Pane::~Pane()
{
    if (m_root)
        m_root->paneDestroyed();
    for (const std::shared_ptr<Widget>& overlay : m_overlays)
        overlay->paneDestroyed();
}

void Pane::invalidateOverlayArea()
{
    if (m_root)
        m_root->setInvalid();
}

// --- Tree --------------------------------------------------------------------------------------

void Pane::setRoot(const std::shared_ptr<Widget>& root, const std::string& id)
{
    eraseAllOverlayWidgets();
    if (m_root) {
        const std::shared_ptr<Widget> old = m_root;
        old->setPane(nullptr);
    }
    m_root = root;
    if (!m_root)
        return;
    m_root->setPane(this);
    m_root->setId(id);
    m_root->setSize(m_size);
    m_root->setStyleSheetChanged();
    m_root->setAlign();
    forceAlign();
}

void Pane::setSize(const GP::Point& size)
{
    if (size == m_size)
        return;
    m_size = size;
    if (m_root) {
        m_root->setSize(size);
        m_root->setAlign();
    }
    eraseAllOverlayWidgets();
}

void Pane::addOverlayWidget(const std::shared_ptr<Widget>& widget)
{
    if (!widget)
        return;
    // Listed once, moved to the end; the signal tells only real changes between none and some.
    const bool first = m_overlays.empty();
    m_overlays.erase(std::remove(m_overlays.begin(), m_overlays.end(), widget), m_overlays.end());
    m_overlays.push_back(widget);
    if (first)
        m_sigOverlay(true);
}

void Pane::removeOverlayWidget(Widget& widget)
{
    const auto found = std::find_if(m_overlays.begin(), m_overlays.end(),
                                    [&](const std::shared_ptr<Widget>& w) { return w.get() == &widget; });
    if (found == m_overlays.end())
        return;
    const std::shared_ptr<Widget> keep = *found;
    m_overlays.erase(found);
    if (m_overlays.empty())
        m_sigOverlay(false);
}

void Pane::eraseAllOverlayWidgets()
{
    // Erasing a child takes it out of the list through onWidgetRemoved; an overlay without a parent
    // (or one outside this pane) is dropped here, so the loop always ends with an empty list.
    while (!m_overlays.empty()) {
        const std::shared_ptr<Widget> overlay = m_overlays.back();
        if (Widget* parent = overlay->getParent())
            parent->eraseChild(*overlay);
        removeOverlayWidget(*overlay);
    }
}

// --- Pointer roles -------------------------------------------------------------------------------

void Pane::setOver(Widget* widget)
{
    if (widget == m_over)
        return;
    if (m_over && (m_over->getFlags() & Widget::eFlagCanOver))
        m_over->setInvalid();
    m_over = widget;
    if (m_over && (m_over->getFlags() & Widget::eFlagCanOver) && m_over->isEnabled())
        m_over->setInvalid();
}

void Pane::setDown(Widget* widget)
{
    if (m_pressed)
        m_pressed->setInvalid();
    m_pressed = widget;
    if (m_pressed)
        m_pressed->setInvalid();
}

void Pane::moveFocusFrom(Widget* from)
{
    Widget* w = from;
    while (w && !(w->getFlags() & Widget::eFlagCanFocus))
        w = w->getParent();
    if (w && w != m_focus) {
        if (m_focus)
            m_focus->setInvalid();
        m_focus = w;
        m_focus->setInvalid();
    }
    if (m_focus)
        setKeyFocus();
}

void Pane::setInput(Widget* widget)
{
    if (widget == m_input)
        return;
    Widget* w = widget;
    while (w && !(w->getFlags() & Widget::eFlagTextInput) && w->getParent())
        w = w->getParent();
    if (w == m_input && w)
        return;
    Widget* const next = w && (w->getFlags() & Widget::eFlagTextInput) && w->isEnabled() ? w : nullptr;
    if (next == m_input)
        return;
    Widget* const old = m_input;
    m_input = next;
    setModalKeyInput(next != nullptr);
    if (old) {
        old->setInvalid();
        old->onInput();
    }
    if (next) {
        moveFocusFrom(next);
        next->setInvalid();
        next->onInput();
    }
}

void Pane::checkMouseLeaveEnter(Widget* target, const GP::Point& position, unsigned modifiers)
{
    setOver(target);
    if (m_over == m_entered)
        return;
    if (m_entered) {
        UIA::MouseEventData leave;
        leave.pos = relativeTo(*m_entered, position);
        leave.modifiers = modifiers;
        // Leaving disarms a drag the widget was about to start.
        m_entered->handleDragDropSourceMouse(UIA::eEventMouseLeave, &leave, this);
        m_entered->onMouse(UIA::eEventMouseLeave, &leave);
    }
    m_entered = m_over;
    if (m_entered) {
        UIA::MouseEventData enter;
        enter.pos = relativeTo(*m_entered, position);
        enter.modifiers = modifiers;
        m_entered->onMouse(UIA::eEventMouseEnter, &enter);
    }
}

void Pane::endPressForDrag()
{
    setOver(nullptr);
    setDown(nullptr);
    m_pressedButtons.fill(0);
    m_doubleClickSeen = false;
}

void Pane::cancelPress()
{
    if (m_pressed) {
        const std::shared_ptr<Widget> keep = m_pressed->shared_from_this();
        UIA::MouseButtonEventData up;
        up.pos = relativeTo(*m_pressed, m_lastMousePos);
        up.state = UIA::eMouseButtonUp;
        for (unsigned i = 0; i < m_pressedButtons.size(); ++i)
            if (m_pressedButtons[i] && m_pressed) {
                up.button = i;
                sendMouse(*m_pressed, eEventButtonUpBase + i, up);
            }
    }
    m_doubleClickSeen = false;
    setDown(nullptr);
    m_pressedButtons.fill(0);
}

// --- Events --------------------------------------------------------------------------------------

bool Pane::onEvent(unsigned code, UIA::EventData* data)
{
    if (code >= 1000 && code <= 1099)
        return onMouse(code, static_cast<UIA::MouseEventData*>(data));
    if (code >= 1100 && code <= 1199)
        return onKey(code, static_cast<UIA::KeyEventData*>(data));
    return false;
}

bool Pane::onKey(unsigned code, UIA::KeyEventData* data)
{
    constexpr std::uint64_t kEnabled = Widget::eFlagEnabled | Widget::eFlagParentEnabled;
    const auto route = [&](Widget* start, std::uint64_t role) {
        for (Widget* w = start; w; w = w->getParent())
            if ((w->getFlags() & (role | kEnabled)) == (role | kEnabled) && w->onKey(code, data))
                return true;
        return false;
    };
    return route(m_input, Widget::eFlagTextInput) || route(m_focus, Widget::eFlagCanFocus);
}

template <class Filter>
std::pair<bool, std::shared_ptr<Widget>> Pane::locateTargetAt(const GP::Point& p, const Filter& filter) const
{
    for (auto overlay = m_overlays.rbegin(); overlay != m_overlays.rend(); ++overlay) {
        auto result = locateTarget(**overlay, p, filter);
        if (result.second)
            return result;
    }
    if (!m_root)
        return {false, nullptr};
    return locateTarget(*m_root, p, filter);
}

std::pair<bool, std::shared_ptr<Widget>> Pane::filterMouseEventAndLocateTarget(unsigned code,
                                                                               UIA::MouseEventData* data) const
{
    return locateTargetAt(data->pos, [&](Widget& w, bool inside) { return w.filterMouseEvent(inside, code, data); });
}

std::pair<bool, std::shared_ptr<Widget>>
Pane::filterDragDropRequestEventAndLocateTarget(unsigned code, UIA::DragDropRequestEventData* data) const
{
    return locateTargetAt(data->pos,
                          [&](Widget& w, bool inside) { return w.filterDragDropRequestEvent(inside, code, data); });
}

void Pane::sendMouse(Widget& widget, unsigned code, UIA::MouseEventData& data)
{
    if (widget.handleDragDropSourceMouse(code, &data, this) == 0)
        widget.onMouse(code, &data);
}

bool Pane::onMouse(unsigned code, UIA::MouseEventData* data)
{
    if (!m_root || !data)
        return false;
    m_lastMousePos = data->pos;
    bool filtered = false;
    std::shared_ptr<Widget> target;
    if (code != UIA::eEventMouseLeave)
        std::tie(filtered, target) = filterMouseEventAndLocateTarget(code, data);
    const GP::Point local = target ? relativeTo(*target, m_lastMousePos) : m_lastMousePos;
    if (!m_pressed && filtered)
        code = UIA::eEventMouseLeave;
    const auto lowestHeld = [this]() -> int {
        for (unsigned i = 0; i < m_pressedButtons.size(); ++i)
            if (m_pressedButtons[i])
                return int(i);
        return -1;
    };
    switch (code) {
    case UIA::eEventMouseButton: {
        auto* button = static_cast<UIA::MouseButtonEventData*>(data);
        if (button->state == UIA::eMouseButtonUp)
            released(target.get(), data);
        else
            pressed(target.get(), button, local);
        break;
    }
    case UIA::eEventMouseDrag: {
        if (m_pressed) {
            const std::shared_ptr<Widget> down = m_pressed->shared_from_this();
            if (target.get() != down.get())
                down->setInvalid();
            if (target && (target == down || (down->getFlags() & Widget::eFlagPressFollow)))
                setOver(target.get());
            const int b = lowestHeld();
            if (b < 0)
                break;
            UIA::MouseEventData drag = *data;
            drag.pos = relativeTo(*down, m_lastMousePos);
            sendMouse(*down, eEventButtonDragBase + unsigned(b), drag);
        } else {
            const int b = lowestHeld();
            if (b < 0 || !target)
                break;
            setOver(target.get());
            UIA::MouseEventData drag = *data;
            drag.pos = local;
            sendMouse(*target, eEventButtonDragBase + unsigned(b), drag);
        }
        break;
    }
    case UIA::eEventMouseMove:
        checkMouseLeaveEnter(target.get(), m_lastMousePos, data->modifiers);
        if (m_over) {
            const std::shared_ptr<Widget> over = m_over->shared_from_this();
            UIA::MouseEventData move = *data;
            move.pos = local;
            over->onMouse(UIA::eEventMouseMove, &move);
        }
        break;
    case UIA::eEventMouseWheel:
        if (target && !m_pressed) {
            const auto* in = static_cast<UIA::MouseWheelEventData*>(data);
            UIA::MouseWheelEventData wheel;
            wheel.pos = local;
            wheel.modifiers = in->modifiers;
            wheel.delta = -in->delta / UIA::MouseWheelEventData::getDeltaUnit();
            wheel.axis = in->axis;
            target->onWheel(&wheel);
        }
        break;
    case UIA::eEventMouseEnter: setOver(target.get()); break;
    case UIA::eEventMouseLeave:
        checkMouseLeaveEnter(nullptr, m_lastMousePos, data->modifiers);
        m_doubleClickSeen = false;
        break;
    case UIA::eEventMouseRelativeMove:
        if (m_over)
            m_over->onMouse(UIA::eEventMouseRelativeMove, data);
        break;
    default: break;
    }
    return true;
}

void Pane::pressed(Widget* target, UIA::MouseButtonEventData* data, const GP::Point& local)
{
    if (!target || !target->isEnabled() || data->button == 0 || data->button >= m_pressedButtons.size())
        return;
    const std::shared_ptr<Widget> keep = target->shared_from_this();
    if (!m_pressed) {
        moveFocusFrom(target);
        setInput(target);
        setDown(target);
        m_pressedButtons.fill(0);
    }
    m_pressedButtons[data->button] = 1;
    setOver(target);
    if (!m_pressed)
        return;
    const std::shared_ptr<Widget> down = m_pressed->shared_from_this();
    UIA::MouseButtonEventData event = *data;
    event.pos = local;
    sendMouse(*down, eEventButtonDownBase + data->button, event);
    m_doubleClickSeen = false;
    if (data->state == UIA::eMouseButtonDoubleClick && m_pressed) {
        sendMouse(*m_pressed, eEventButtonDoubleClickBase + data->button, event);
        m_doubleClickSeen = true;
    }
}

void Pane::released(Widget* target, UIA::MouseEventData* data)
{
    Widget* const r = m_pressed ? m_pressed : target;
    if (!r) {
        m_doubleClickSeen = false;
        m_pressedButtons.fill(0);
        return;
    }
    const std::shared_ptr<Widget> receiver = r->shared_from_this();
    setOver(target);
    UIA::MouseButtonEventData up;
    up.pos = relativeTo(*receiver, m_lastMousePos);
    up.modifiers = data->modifiers;
    up.state = UIA::eMouseButtonUp;
    for (unsigned i = 0; i < m_pressedButtons.size(); ++i) {
        if (!m_pressedButtons[i])
            continue;
        up.button = i;
        sendMouse(*receiver, eEventButtonUpBase + i, up);
        if (m_over && m_over == m_pressed && m_over == receiver.get() && !m_doubleClickSeen)
            sendMouse(*receiver, eEventButtonClickBase + i, up);
    }
    m_doubleClickSeen = false;
    setDown(nullptr);
    m_pressedButtons.fill(0);
}

void Pane::onWidgetRemoved(Widget& widget)
{
    if (m_entered == &widget)
        m_entered = nullptr;
    if (m_root.get() == &widget)
        m_root.reset();
    if (m_over == &widget) {
        widget.setInvalid();
        m_over = nullptr;
    }
    if (m_pressed == &widget) {
        widget.setInvalid();
        m_pressed = nullptr;
    }
    if (m_focus == &widget) {
        m_focus = nullptr;
        moveFocusFrom(widget.getParent());
    }
    if (m_input == &widget)
        m_input = nullptr;
    removeOverlayWidget(widget);
    stopTimerEntry(&widget);
}

// --- Ticks ---------------------------------------------------------------------------------------

void Pane::stopTimerEntry(Widget* widget)
{
    const auto found = m_timers.find(widget);
    if (found != m_timers.end())
        found->second = 0;
}

void Pane::executeTimers()
{
    for (auto entry = m_timers.begin(); entry != m_timers.end();) {
        const auto current = entry++;
        Widget* const widget = current->first;
        if (current->second > 0) {
            if (!widget->isShown())
                continue;
            if (--current->second == 0) {
                const std::shared_ptr<Widget> keep = widget->shared_from_this();
                ++m_timerRunDepth;
                widget->onTimer();
                --m_timerRunDepth;
                // onTimer may have changed the table: go on from the widget's place in it.
                entry = m_timers.upper_bound(widget);
            }
        } else if (m_timerRunDepth < 1) {
            m_timers.erase(current);
        }
    }
}

std::uint32_t Pane::runAlignPasses(const GP::Rect& area, GP::Region& changed, std::uint32_t bits)
{
    std::uint32_t dirty = bits;
    for (int pass = 1; (dirty & eDirtyAlign) && m_root; ++pass) {
        m_root->align(*this, area, changed);
        dirty = exchangeDirty(0);
        bits |= dirty & ~std::uint32_t(eDirtyAlign);
        if (pass == kMaxAlignPasses) {
            // Requests raised in the last pass wait for the next update instead of being lost
            // until some unrelated change asks for an align.
            if (dirty & eDirtyAlign)
                orDirty(eDirtyAlign | eDirtyInvalid);
            break;
        }
    }
    return bits;
}

void Pane::update(GP::Region& region)
{
    if (!m_root)
        return;
    const GP::Rect area = getOverlayArea();
    std::uint32_t bits = exchangeDirty(0);
    if (bits & eDirtyAlign)
        bits = runAlignPasses(area, region, bits);
    if (bits & eDirtyInvalid) {
        for (auto overlay = m_overlays.rbegin(); overlay != m_overlays.rend(); ++overlay)
            (*overlay)->collectInvalidRegions(region);
        if (m_root)
            m_root->collectInvalidRegions(region);
    }
    GP::Region areaRegion;
    areaRegion.addFast(area);
    GP::Region::intersect(region, region, areaRegion);
}

void Pane::forceAlign()
{
    if (!m_root)
        return;
    const std::uint32_t bits = exchangeDirty(0);
    if (bits & eDirtyAlign) {
        GP::Region scratch;
        runAlignPasses(GP::Rect(0, 0, 100, 100), scratch, bits);
    }
    if (m_root)
        m_root->setAlign();
}

void Pane::paint(Canvas& canvas, const GP::Region& region, ePaintMode mode)
{
    if (!m_root)
        return;
    m_backingScale = canvas.getBackingScaleFactor();
    if (!region.isEmpty()) {
        paintRegion(mode, region, canvas);
    } else {
        GP::Region whole;
        const GP::Point size = m_root->getSize();
        if (size.x >= 1 && size.y >= 1)
            whole.addFast(GP::Rect(0, 0, size.x, size.y));
        paintRegion(mode, whole, canvas);
    }
    if (m_root)
        m_root->postPaintAlign();
}

void Pane::paintRegion(ePaintMode mode, const GP::Region& region, Canvas& canvas)
{
    if (!m_root)
        return;
    const std::shared_ptr<Widget> root = m_root;
    if (mode != ePaintOverlays) {
        GP::Region::const_intersector walk(&region, root->getClipRect(), GP::Point());
        for (GP::Rect r; walk.next(r);)
            canvas.setAreaColor(r, 0x00000000);
    }
    m_backingScale = canvas.getBackingScaleFactor();
    if ((mode & ePaintRoot) && region.testRect(root->getClipRect()) != GP::Region::eRectOutside)
        root->paint(canvas, region);
    if (mode & ePaintOverlays) {
        // Painting may remove overlays: walk a copy.
        const std::vector<std::shared_ptr<Widget>> overlays = m_overlays;
        for (const std::shared_ptr<Widget>& overlay : overlays)
            if (region.testRect(overlay->getClipRect()) != GP::Region::eRectOutside)
                overlay->paint(canvas, region);
    }
}

}  // namespace QV::PXT
