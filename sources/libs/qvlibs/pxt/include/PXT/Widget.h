// The node of the toolkit's widget tree: the identity that selectors test (class, style name, id,
// attributes), the state flags behind the selector states, the parent and children, the pane that
// hosts the tree, geometry and layout, invalidation, timers, painting and the event hooks.
//
// Widgets never draw or lay out on their own initiative: a change records what became stale (the
// invalid aspects, the invalid region, a needs-align request) and raises bits in the pane's dirty
// word; the pane's update on the next tick aligns the tree, collects the dirty region and paints it.
//
// Widgets are always owned through std::shared_ptr (made with std::make_shared). Main thread only;
// the invalid aspects and the pane's dirty word change only atomically.
#pragma once

#include "GP/CharSequence.h"
#include "GP/Point.h"
#include "GP/Rect.h"
#include "GP/Region.h"
#include "GP/Symbol.h"
#include "PXT/DragDropEventTarget.h"
#include "PXT/DragDropSource.h"
#include "PXT/LazyPicture.h"
#include "PXT/Margin.h"
#include "PXT/Property.h"
#include "PXT/StyleProperties.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace QV::UIA {
class Font;
struct DragDropRequestEventData;
struct KeyEventData;
struct MouseEventData;
struct MouseWheelEventData;
}  // namespace QV::UIA

namespace QV::PXT {

class Canvas;
class PaintContext;
class Pane;

// A widget's own attributes, tested by attribute selectors before the built-in ones.
class AttributesMap : public std::map<std::string, std::string> {
public:
    // Inserts the pair or replaces the value; true when the name was new or the value differs.
    bool setAttribute(const std::string& name, const std::string& value);
};

// Every widget is a drop target (the drag events reach its drop handlers) and a possible drag
// source (the pane's mouse codes pass its drag-source part first); DragDropEventTarget.h and
// DragDropSource.h.
class Widget : public DragDropEventTarget, DragDropSource, public std::enable_shared_from_this<Widget> {
public:
    // Bits of the flags word.
    enum eFlags : std::uint64_t {
        eFlagActive = 0x1,
        eFlagActivated = 0x2,
        eFlagParentShown = 0x4,
        eFlagVisible = 0x8,
        eFlagEnabled = 0x10,
        eFlagParentEnabled = 0x20,
        eFlagSelected = 0x40,
        eFlagCanOver = 0x80,
        eFlagCanFocus = 0x100,
        eFlagPressFollow = 0x200,
        eFlagTextInput = 0x400,
        eFlagNoAlign = 0x800,
        eFlagDeferredLayout = 0x1000,
        eFlagDrawBackground = 0x2000,
        eFlagDrawForeground = 0x4000,
        eFlagClipChanged = 0x8000,
        eFlagOpaque = 0x20000,
        eFlagOpaqueInsideMargin = 0x40000,
        eFlagStyleChanged = 0x80000,
        eFlagPostPaintAlign = 0x100000,
    };
    // A new widget is active and visible in a shown, enabled parent, draws its background, and
    // waits for its first style pass and layout.
    static constexpr std::uint64_t kInitialFlags = eFlagActive | eFlagParentShown | eFlagVisible | eFlagEnabled |
                                                   eFlagParentEnabled | eFlagDeferredLayout | eFlagDrawBackground |
                                                   eFlagStyleChanged;
    static_assert(kInitialFlags == 0x8303D, "the initial flags word is part of the widget's observable state");
    // What getInvalidRegion gives back.
    enum eInvalidRegion {
        eInvalidRegionByAspects,  // nothing of its own: the invalid aspects decide
        eInvalidRegionWhole,      // the whole widget
        eInvalidRegionGiven,      // the region given back (widget-local)
    };
    // Which of the two margins adjustMarginToStyle reads from the style.
    enum eMarginKind {
        eMarginInner,
        eMarginOuter
    };
    // The aspects setInvalid(0) marks.
    static constexpr std::uint32_t s_uDefaultInvalidAspects = 0xFFFFFFFF;

    Widget() = default;
    // Leaves the children and drops the widget's entries from the style sheets' caches.
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    // The class name that type selectors match ("Bar", "Button", ...).
    virtual const std::string& getClass() const = 0;
    virtual bool isDormant() const { return false; }
    // The orientation that the built-in attribute "isHorizontal" reports: a Bar's or a Slider's;
    // none for other widgets (the attribute then does not exist).
    virtual std::optional<bool> getHorizontalOrientation() const { return std::nullopt; }

    // --- Event hooks (empty unless said otherwise) --------------------------------------------
    // After onShow on every activation change.
    virtual void onCustomProcess(bool /*active*/) {}
    // The widget's own geometry changed in the align pass; containers lay out their children here.
    virtual void onAlign() {}
    virtual void onPostPaintAlign() {}
    // Activation changes, and false when the widget leaves its pane.
    virtual void onShow(bool /*shown*/) {}
    virtual void onPaint(PaintContext& /*context*/) {}
    // True claims the mouse event for this widget in the pane's hit test.
    virtual bool filterMouseEvent(bool /*inside*/, unsigned /*code*/, UIA::MouseEventData* /*data*/) { return false; }
    // The same for drag requests (the windowing pane's hit test): true claims the request, which
    // then counts as handled and goes nowhere else.
    virtual bool filterDragDropRequestEvent(bool /*inside*/, unsigned /*code*/, UIA::DragDropRequestEventData* /*data*/)
    {
        return false;
    }
    // The pane's widget-level mouse codes (Pane.h), positions relative to the widget.
    virtual void onMouse(unsigned /*code*/, UIA::MouseEventData* /*data*/) {}
    // Passed on to the parent.
    virtual void onWheel(UIA::MouseWheelEventData* data);
    virtual bool onKey(unsigned /*code*/, UIA::KeyEventData* /*data*/) { return false; }
    virtual void onTimer() {}
    // Gained or lost the input role.
    virtual void onInput() {}
    // Re-reads the style-driven geometry and rebuilds the drawing cache.
    virtual void onStyleSheetChanged();
    virtual void onChildsAligned() {}
    // The length a parent's layout imposes across its axis.
    virtual void setArrangedWidth(int width);
    virtual void setArrangedHeight(int height);
    virtual bool getOpaqueRegion(GP::Region& out) const;
    virtual eInvalidRegion getInvalidRegion(GP::Region& /*out*/, unsigned /*aspects*/)
    {
        return eInvalidRegionByAspects;
    }

    // --- Drag source (DragDropSource.h) -------------------------------------------------------
    using DragDropSource::canDragStart;
    using DragDropSource::setCanDragStartFunction;
    using DragDropSource::setDragStartFunction;
    using DragDropSource::setDragStartTimeout;

    // --- Tree --------------------------------------------------------------------------------
    // Makes `child` the last child under the id `id` (taking it from its old parent); returns it.
    template <class T>
    T& insertChild(std::shared_ptr<T> child, const std::string& id)
    {
        static_assert(std::is_base_of_v<Widget, T>, "only widgets are children");
        prepareInsertedWidget(child, id);
        m_children.push_back(child);
        m_childrenByZIndex.clear();
        return *child;
    }
    // Removes the child; false when it is not a child of this widget.
    bool eraseChild(const Widget& child);
    void clearChildren();
    Widget* getParent() const { return m_parent; }
    const std::vector<std::shared_ptr<Widget>>& getChildren() const { return m_children; }
    // The children in ascending z-index, equal ones in insertion order.
    const std::vector<std::shared_ptr<Widget>>& getChildrenByZIndex() const;

    Pane* getPane() const { return m_pane; }
    void setActive(bool active);
    bool isActive() const { return (m_flags & eFlagActive) != 0; }
    // Active and parent shown: counted by timers, painted, hit.
    bool isShown() const { return (m_flags & (eFlagActive | eFlagParentShown)) == (eFlagActive | eFlagParentShown); }
    float getBackingScaleFactor() const;

    // --- Identity and state ------------------------------------------------------------------
    const std::string& getId() const { return m_id.string(); }
    qv::symbol getIdSymbol() const { return m_id; }
    void setId(const std::string& id) { m_id = qv::symbol(id); }
    const std::string& getStyle() const { return m_style.string(); }
    qv::symbol getStyleSymbol() const { return m_style; }
    void setStyle(const GP::CharSequence<char>& style);
    // The style name (when given), then 18 x 18 until the style gives the real size.
    void styleDefault(const char* styleName);
    const AttributesMap& getAttributes() const { return m_attributes; }
    // Only a change marks the style as changed.
    void setAttribute(const std::string& name, const std::string& value);
    // The widget's own enabled flag; isEnabled also needs the parent enabled.
    void setEnabled(bool enabled);
    void setSelected(bool selected);
    void setCanOver(bool canOver);
    void setCanFocus(bool canFocus) { setFlag(eFlagCanFocus, canFocus); }
    void setTextInput(bool textInput) { setFlag(eFlagTextInput, textInput); }
    void setPressFollow(bool follow) { setFlag(eFlagPressFollow, follow); }
    void setNoAlign(bool noAlign) { setFlag(eFlagNoAlign, noAlign); }
    void setOverlay(bool overlay) { m_overlay = overlay; }
    bool isOverlay() const { return m_overlay; }
    bool isNoAlign() const { return (m_flags & eFlagNoAlign) != 0 || m_overlay; }
    void setHitTest(std::function<bool(const GP::Point&)> hitTest) { m_hitTest = std::move(hitTest); }
    const std::function<bool(const GP::Point&)>& getHitTest() const { return m_hitTest; }
    // Takes the key focus (through the pane).
    void setFocus();
    std::uint64_t getFlags() const { return m_flags; }

    bool isEnabled() const
    {
        return (m_flags & (eFlagEnabled | eFlagParentEnabled)) == (eFlagEnabled | eFlagParentEnabled);
    }
    bool isSelected() const { return (m_flags & eFlagSelected) != 0; }
    bool isOver() const;
    bool isDown() const;
    bool isFocus() const;
    bool isInput() const;

    // --- Geometry and layout -----------------------------------------------------------------
    // Relative to the parent's content origin (its top-left corner inside its margin).
    const GP::Point& getPos() const { return m_pos; }
    void setPos(const GP::Point& pos);
    // In pane coordinates, as of the last align pass.
    const GP::Point& getAbsolutePos() const { return m_absolutePos; }
    const GP::Point& getSize() const { return m_size; }
    // Clamped to the minimum, then to a positive maximum.
    void setSize(const GP::Point& size);
    const GP::Point& getMinSize() const { return m_minSize; }
    const GP::Point& getMaxSize() const { return m_maxSize; }
    void setMinSize(const GP::Point& size) { m_minSize = size; }
    void setMaxSize(const GP::Point& size) { m_maxSize = size; }
    const Margin& getMargin() const { return m_margin; }
    void setMargin(const Margin& margin);
    const Margin& getOuterMargin() const { return m_outerMargin; }
    void setOuterMargin(const Margin& margin) { m_outerMargin = margin; }
    int getZIndex() const { return m_zIndex; }
    // The visible part of the widget, pane coordinates; empty when nothing shows.
    const GP::Rect& getClipRect() const { return m_clip; }
    // The clip cut to the inside of the margins: what the children may cover.
    GP::Rect getContentClip() const;
    // Places the shown, aligned children one after another along the direction, each stretched
    // across it (the box arrangement, Widget/BoxArrangement.h under src/).
    void arrangeChilds(eWidgetAlignment alignment, int spacing);
    // Requests an align pass for the widget; setParentAlign for its parent first.
    void setAlign();
    void setParentAlign();

    // --- Invalidation, timers, painting ------------------------------------------------------
    // Marks the aspects (all for 0) and the pane's dirty bit.
    void setInvalid(unsigned aspects = 0);
    std::uint32_t getInvalidAspects() const { return m_invalidAspects.load(); }
    // Asks for onTimer after `ticks` timer runs of the pane; 0 or less cancels.
    void setTimer(int ticks);

    // --- Style -------------------------------------------------------------------------------
    // The value of the first rule for the property that applies to the widget in its current state,
    // when it holds a T (for bool: any value Property::getBoolValue reads); the zero value of T for
    // the explicit "no"; else defaultValue. found (may be null) tells which.
    template <class T>
    T getStyleProperty(eStyleProperty property, const T& defaultValue, bool* found = nullptr) const
    {
        return styleValue(findStyleProperty(property), defaultValue, found);
    }
    // The same for a property known by its name only (the palettes' colours).
    template <class T>
    T getStyleProperty(const char* name, const T& defaultValue, bool* found = nullptr) const
    {
        return styleValue(findStyleProperty(name), defaultValue, found);
    }
    // "font", else the toolkit's default font.
    const UIA::Font* getFontProperty() const;
    // Marks the style of the widget and its subtree as changed.
    void setStyleSheetChanged();
    // Drops the widget's and its subtree's entries from the style sheets' per-widget caches.
    void removeFromCache() const;

protected:
    // Drops arrive in pane coordinates; handlers get them relative to the widget.
    GP::Point getDragDropOrigin() const override { return m_absolutePos; }

private:
    // --- The pane's passes over the tree (Pane.h runs them; nothing else may) ------------------
    friend class Pane;
    // The pane of the whole subtree (null: outside a pane, where style lookups give defaults).
    void setPane(Pane* pane);
    // The pane went away: the subtree forgets it without telling it.
    void paneDestroyed();
    // One widget's step of the pane's align pass, then its children's.
    void align(Pane& pane, const GP::Rect& parentContentClip, GP::Region& changed);
    // Adds the widget's and its subtree's invalid areas (pane coordinates) and resets them.
    void collectInvalidRegions(GP::Region& out);
    // Paints the widget and its children that meet the region (pane coordinates).
    void paint(Canvas& canvas, const GP::Region& region);
    // onPostPaintAlign, after a paint, for the widgets that the align passes since the last one placed.
    void postPaintAlign();
    // The pane's mouse codes pass the drag-source part before onMouse (DragDropSource.h).
    using DragDropSource::handleDragDropSourceMouse;

    // --- Steps of those passes ----------------------------------------------------------------
    // Takes the child from its old parent and into this widget's pane, under `id`.
    void prepareInsertedWidget(const std::shared_ptr<Widget>& child, const std::string& id);
    // The align pass's activation step.
    void activate(Pane& pane, bool active, bool fromParent);
    // The absolute position and the clip from the parent's; true when the clip changed (both the
    // old and the new clip are then added to `changed` when addChanged).
    bool updateClipRect(const GP::Rect& parentContentClip, GP::Region& changed, bool addChanged);
    void updateClipRectFromParent();
    void resetInvalidRegions();
    void updateOpaqueChildsRegion();

    // The first property of that name whose rule applies to the widget now, or null.
    const Property* findStyleProperty(eStyleProperty property) const;
    const Property* findStyleProperty(const char* name) const;
    template <class T>
    static T styleValue(const Property* property, const T& defaultValue, bool* found);
    void setFlag(std::uint64_t flag, bool on)
    {
        if (on)
            m_flags |= flag;
        else
            m_flags &= ~flag;
    }
    void adjustMarginToStyle(Margin& margin, eMarginKind kind);
    // The old rectangle into the visible parent's invalid region.
    void invalidateOldRectInParent();
    void requestAlign();

    qv::symbol m_id;
    Widget* m_parent = nullptr;
    std::vector<std::shared_ptr<Widget>> m_children;
    Pane* m_pane = nullptr;
    GP::Point m_pos;
    GP::Point m_absolutePos;
    int m_zIndex = 0;
    mutable std::vector<std::shared_ptr<Widget>> m_childrenByZIndex;
    GP::Point m_size;
    GP::Point m_minSize;
    GP::Point m_maxSize;
    Margin m_margin;
    Margin m_outerMargin;
    GP::Rect m_clip;
    qv::symbol m_style;
    AttributesMap m_attributes;
    int m_pendingTimer = 0;
    std::uint64_t m_flags = kInitialFlags;
    bool m_overlay = false;
    std::atomic<std::uint32_t> m_invalidAspects{0};
    bool m_needsAlign = false;
    GP::Region m_invalidRegion;
    GP::Region m_opaqueChildsRegion;
    std::function<bool(const GP::Point&)> m_hitTest;
};

// By value: a default given as a temporary must not be referred to after the call.
template <class T>
T Widget::styleValue(const Property* property, const T& defaultValue, bool* found)
{
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, unsigned> || std::is_same_v<T, bool> ||
                      std::is_same_v<T, const UIA::Font*> || std::is_same_v<T, LazyPicture>,
                  "style properties are read as int, unsigned, bool, font or picture");
    if (property) {
        const T* value = nullptr;
        if constexpr (std::is_same_v<T, bool>)
            value = property->getBoolValue();
        else
            value = std::get_if<T>(&property->getValue());
        if (value) {
            if (found)
                *found = true;
            return *value;
        }
        if (property->isNo()) {
            if (found)
                *found = true;
            return T{};
        }
    }
    if (found)
        *found = false;
    return defaultValue;
}

}  // namespace QV::PXT
