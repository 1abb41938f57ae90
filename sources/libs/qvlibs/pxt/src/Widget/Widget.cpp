#include "PXT/Widget.h"

#include "PXT/Canvas.h"
#include "PXT/DrawingCache.h"
#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"
#include "PXT/PaintContext.h"
#include "PXT/Pane.h"
#include "PXT/StyleSheet.h"
#include "PXT/StyleSheetManager.h"
#include "UIA/EventData.h"
#include "UIA/Picture.h"
#include "Widget/BoxArrangement.h"

#include <algorithm>
#include <cstring>

namespace QV::PXT {

namespace {

// The sheet a widget's lookups use: its pane's, else the manager's default sheet; none outside a pane.
const StyleSheet* sheetOf(const Widget& widget)
{
    const Pane* pane = widget.getPane();
    if (!pane)
        return nullptr;
    if (const StyleSheet* own = pane->getStyleSheet())
        return own;
    const StyleSheetManager* manager = StyleSheetManager::get();
    return manager ? &manager->getDefaultStyleSheet() : nullptr;
}

void removeFromAllCaches(const Widget& widget)
{
    if (const StyleSheetManager* manager = StyleSheetManager::get())
        manager->removeFromCaches(widget);
}

// A moved or re-identified subtree matches other rules (ancestor steps, ids) in its new place.
void removeSubtreeFromAllCaches(const Widget& widget)
{
    removeFromAllCaches(widget);
    for (const std::shared_ptr<Widget>& child : widget.getChildren())
        removeSubtreeFromAllCaches(*child);
}

// The margin properties per type: all sides, left, right, top, bottom.
const eStyleProperty s_marginProperties[2][5] = {
    {eStyleMargin, eStyleMarginLeft, eStyleMarginRight, eStyleMarginTop, eStyleMarginBottom},
    {eStyleOuterMargin, eStyleOuterMarginLeft, eStyleOuterMarginRight, eStyleOuterMarginTop, eStyleOuterMarginBottom},
};

bool onFocusChain(const Pane& pane, const Widget& widget)
{
    for (const Widget* w = pane.getFocusWidget(); w; w = w->getParent())
        if (w == &widget)
            return true;
    return false;
}

}  // namespace

bool AttributesMap::setAttribute(const std::string& name, const std::string& value)
{
    const auto [position, inserted] = try_emplace(name, value);
    if (inserted)
        return true;
    if (position->second == value)
        return false;
    position->second = value;
    return true;
}

Widget::~Widget()
{
    clearChildren();
    removeFromCache();
    removeFromAllCaches(*this);
    if (StyleSheetManager* manager = StyleSheetManager::get())
        manager->eraseDrawingCache(*this);
}

// --- Tree ------------------------------------------------------------------------------------

void Widget::prepareInsertedWidget(const std::shared_ptr<Widget>& child, const std::string& id)
{
    child->m_id = qv::symbol(id);
    if (child->m_parent) {
        const std::shared_ptr<Widget> keep = child;
        child->m_parent->eraseChild(*child);
    }
    child->m_parent = this;
    child->setPane(m_pane);
    child->setStyleSheetChanged();
    removeSubtreeFromAllCaches(*child);
    setAlign();
}

bool Widget::eraseChild(const Widget& child)
{
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [&](const std::shared_ptr<Widget>& c) { return c.get() == &child; });
    if (found == m_children.end())
        return false;
    const std::shared_ptr<Widget> keep = *found;
    m_children.erase(found);
    m_childrenByZIndex.clear();
    keep->removeFromCache();
    keep->setPane(nullptr);
    keep->m_parent = nullptr;
    setAlign();
    return true;
}

void Widget::clearChildren()
{
    const std::vector<std::shared_ptr<Widget>> children = std::move(m_children);
    m_children.clear();
    m_childrenByZIndex.clear();
    for (const std::shared_ptr<Widget>& child : children) {
        child->setPane(nullptr);
        child->m_parent = nullptr;
    }
    setAlign();
}

const std::vector<std::shared_ptr<Widget>>& Widget::getChildrenByZIndex() const
{
    if (m_childrenByZIndex.size() != m_children.size()) {
        m_childrenByZIndex = m_children;
        std::stable_sort(m_childrenByZIndex.begin(), m_childrenByZIndex.end(),
                         [](const auto& a, const auto& b) { return a->m_zIndex < b->m_zIndex; });
    }
    return m_childrenByZIndex;
}

void Widget::setPane(Pane* pane)
{
    for (const std::shared_ptr<Widget>& child : m_children)
        child->setPane(pane);
    if (pane == m_pane)
        return;
    if (m_pane) {
        onShow(false);
        m_pane->onWidgetRemoved(*this);
        // Out of its window, the widget takes no drop of the drag under way.
        leaveDrag();
    }
    m_pane = pane;
    m_flags &= ~std::uint64_t(eFlagActivated);
}

void Widget::paneDestroyed()
{
    m_pane = nullptr;
    for (const std::shared_ptr<Widget>& child : m_children)
        child->paneDestroyed();
}

void Widget::activate(Pane& pane, bool active, bool fromParent)
{
    if (m_pane != &pane) {
        m_pane = &pane;
        m_flags |= eFlagStyleChanged;
        removeFromAllCaches(*this);
    }
    if (fromParent) {
        setFlag(eFlagParentShown, active);
        if (m_overlay)
            setInvalid();
    } else if (active && m_parent) {
        setFlag(eFlagParentShown, m_parent->isShown());
    }
    if (active != ((m_flags & eFlagActivated) != 0)) {
        if (!active) {
            if (onFocusChain(pane, *this)) {
                pane.setInput(nullptr);
                pane.killFocus();
            }
            m_flags &= ~std::uint64_t(eFlagActivated);
        } else {
            m_flags |= eFlagActivated;
        }
        onShow(active);
        onCustomProcess(active);
    }
    for (const std::shared_ptr<Widget>& child : m_children)
        if (!active)
            child->activate(pane, false, true);
        else if (child->isActive())
            child->activate(pane, true, true);
}

void Widget::setActive(bool active)
{
    const bool changed = isActive() != active;
    if (changed)
        setFlag(eFlagActive, active);
    if (m_parent) {
        const bool shown = m_parent->isShown();
        if (shown != ((m_flags & eFlagParentShown) != 0)) {
            setFlag(eFlagParentShown, shown);
            setParentAlign();
            return;
        }
    }
    if (changed)
        setParentAlign();
}

float Widget::getBackingScaleFactor() const { return m_pane ? m_pane->getBackingScaleFactor() : 1.0f; }

// --- Identity and state -------------------------------------------------------------------------

void Widget::setStyle(const GP::CharSequence<char>& style)
{
    m_style = qv::symbol(style.data(), style.size());
    removeFromCache();
}

void Widget::styleDefault(const char* styleName)
{
    if (styleName)
        setStyle(styleName);
    if (m_minSize != GP::Point(18, 18)) {
        m_minSize = GP::Point(18, 18);
        setSize(m_size);
    }
    setSize(m_minSize);
    setStyleSheetChanged();
    removeFromAllCaches(*this);
}

void Widget::setAttribute(const std::string& name, const std::string& value)
{
    if (m_attributes.setAttribute(name, value))
        setStyleSheetChanged();
}

void Widget::setEnabled(bool enabled)
{
    // The own flag, not isEnabled(): that one includes the parent, so a widget disabled under a
    // disabled parent would otherwise never be switched off itself and come back with the parent.
    if (enabled == ((m_flags & eFlagEnabled) != 0))
        return;
    setFlag(eFlagEnabled, enabled);
    setAlign();
}

void Widget::setSelected(bool selected)
{
    if (selected == isSelected())
        return;
    setFlag(eFlagSelected, selected);
    setInvalid();
}

void Widget::setCanOver(bool canOver)
{
    setFlag(eFlagCanOver, canOver);
    if (!canOver && m_pane && m_pane->getOverWidget() == this)
        m_pane->setOverWidget(nullptr);
}

void Widget::setFocus()
{
    if (!m_pane)
        return;
    m_pane->setInput(nullptr);
    m_pane->moveFocusFrom(this);
}

bool Widget::isOver() const { return m_pane && m_pane->getOverWidget() == this; }

bool Widget::isDown() const { return m_pane && m_pane->getPressedWidget() == this && m_pane->isLeftButtonDown(); }

bool Widget::isFocus() const { return m_pane && m_pane->getFocusWidget() == this; }

bool Widget::isInput() const { return m_pane && m_pane->getInputWidget() == this; }

void Widget::onWheel(UIA::MouseWheelEventData* data)
{
    if (m_parent)
        m_parent->onWheel(data);
}

// --- Geometry and layout ------------------------------------------------------------------------

void Widget::invalidateOldRectInParent()
{
    if (!m_parent || !(m_flags & eFlagVisible) || !(m_parent->m_flags & eFlagVisible))
        return;
    GP::Rect old(m_absolutePos.x, m_absolutePos.y, m_absolutePos.x + m_size.x, m_absolutePos.y + m_size.y);
    old.moveBy(-m_parent->m_absolutePos.x, -m_parent->m_absolutePos.y);
    m_parent->m_invalidRegion.addFast(old);
    if (m_pane)
        m_pane->orDirty(Pane::eDirtyInvalid);
}

void Widget::setPos(const GP::Point& pos)
{
    if (pos == m_pos)
        return;
    invalidateOldRectInParent();
    m_pos = pos;
    setAlign();
}

void Widget::setSize(const GP::Point& size)
{
    GP::Point clamped(std::max(size.x, m_minSize.x), std::max(size.y, m_minSize.y));
    if (m_maxSize.x > 0 && m_maxSize.x < clamped.x)
        clamped.x = m_maxSize.x;
    if (m_maxSize.y > 0 && m_maxSize.y < clamped.y)
        clamped.y = m_maxSize.y;
    if (clamped == m_size)
        return;
    if (!isNoAlign()) {
        m_size = clamped;
        setParentAlign();
    } else {
        invalidateOldRectInParent();
        m_size = clamped;
        setAlign();
    }
}

void Widget::setMargin(const Margin& margin)
{
    if (margin == m_margin)
        return;
    m_margin = margin;
    setAlign();
}

void Widget::setArrangedWidth(int width) { setSize(GP::Point(width, m_size.y)); }

void Widget::setArrangedHeight(int height) { setSize(GP::Point(m_size.x, height)); }

GP::Rect Widget::getContentClip() const
{
    const GP::Rect content(m_absolutePos.x + m_margin.left, m_absolutePos.y + m_margin.top,
                           m_absolutePos.x + m_size.x - m_margin.right, m_absolutePos.y + m_size.y - m_margin.bottom);
    return m_clip.intersected(content);
}

void Widget::requestAlign()
{
    if (m_pane) {
        m_pane->exchangeDirty(Pane::eDirtyInvalid | Pane::eDirtyAlign);
        m_pane->orDirty(Pane::eDirtyInvalid);
    }
    m_needsAlign = true;
    m_invalidAspects.fetch_or(s_uDefaultInvalidAspects);
}

void Widget::setAlign()
{
    if (m_flags & eFlagDeferredLayout) {
        requestAlign();
        return;
    }
    updateClipRectFromParent();
    setInvalid();
    if (m_parent)
        m_parent->setInvalid();
}

void Widget::setParentAlign()
{
    if ((m_flags & eFlagDeferredLayout) && m_parent)
        m_parent->setAlign();
    setAlign();
}

bool Widget::updateClipRect(const GP::Rect& parentContentClip, GP::Region& changed, bool addChanged)
{
    m_absolutePos = m_parent ? GP::Point(m_parent->m_absolutePos.x + m_parent->m_margin.left + m_pos.x,
                                         m_parent->m_absolutePos.y + m_parent->m_margin.top + m_pos.y)
                             : GP::Point();
    const GP::Rect own(m_absolutePos.x, m_absolutePos.y, m_absolutePos.x + m_size.x, m_absolutePos.y + m_size.y);
    GP::Rect clip;
    if (m_size.x > 0 && m_size.y > 0)
        clip = m_overlay ? own : own.intersected(parentContentClip);
    if (clip == m_clip)
        return false;
    if (addChanged) {
        changed.addFast(clip);
        changed.addFast(m_clip);
    }
    m_clip = clip;
    return true;
}

void Widget::updateClipRectFromParent()
{
    if (!m_parent)
        return;
    GP::Region scratch;
    updateClipRect(m_parent->getContentClip(), scratch, false);
}

void Widget::align(Pane& pane, const GP::Rect& parentContentClip, GP::Region& changed)
{
    if (!isActive()) {
        if ((m_pane != &pane || (m_flags & eFlagActivated)) && m_parent && onFocusChain(pane, *this))
            m_parent->setFocus();
        activate(pane, false, false);
        updateOpaqueChildsRegion();
        return;
    }
    if (!(m_flags & eFlagActivated))
        activate(pane, true, false);
    if (m_parent)
        setFlag(eFlagParentEnabled, m_parent->isEnabled());
    if (m_flags & eFlagStyleChanged)
        onStyleSheetChanged();
    getChildrenByZIndex();
    const bool needAlign = std::exchange(m_needsAlign, false);
    if (needAlign || (m_parent && (m_parent->m_flags & eFlagClipChanged))) {
        updateClipRect(parentContentClip, changed, needAlign);
        m_flags |= eFlagClipChanged | eFlagPostPaintAlign;
    }
    if (m_pendingTimer > 0)
        pane.setTimerEntry(this, m_pendingTimer);
    m_pendingTimer = 0;
    if (needAlign)
        onAlign();
    const GP::Rect contentClip = getContentClip();
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        // A child's hooks may change the children: hold the one being aligned.
        const std::shared_ptr<Widget> child = m_children[i];
        child->align(pane, contentClip, changed);
    }
    onChildsAligned();
    m_flags &= ~std::uint64_t(eFlagClipChanged);
    updateOpaqueChildsRegion();
}

void Widget::arrangeChilds(eWidgetAlignment alignment, int spacing) { DETAIL::arrangeInBox(*this, alignment, spacing); }

void Widget::adjustMarginToStyle(Margin& margin, eMarginKind kind)
{
    const eStyleProperty* properties = s_marginProperties[kind];
    bool found = false;
    const int all = getStyleProperty<int>(properties[0], 0, &found);
    if (found)
        margin = Margin{all, all, all, all};
    margin.left = getStyleProperty<int>(properties[1], margin.left);
    margin.right = getStyleProperty<int>(properties[2], margin.right);
    margin.top = getStyleProperty<int>(properties[3], margin.top);
    margin.bottom = getStyleProperty<int>(properties[4], margin.bottom);
}

void Widget::onStyleSheetChanged()
{
    if (StyleSheetManager* manager = StyleSheetManager::get())
        manager->getDrawingCache(*this).rebuildCache();
    adjustMarginToStyle(m_margin, eMarginInner);
    adjustMarginToStyle(m_outerMargin, eMarginOuter);
    m_minSize.x = getStyleProperty<int>(eStyleMinWidth, m_minSize.x);
    m_maxSize.x = getStyleProperty<int>(eStyleMaxWidth, m_maxSize.x);
    m_minSize.y = getStyleProperty<int>(eStyleMinHeight, m_minSize.y);
    m_maxSize.y = getStyleProperty<int>(eStyleMaxHeight, m_maxSize.y);
    bool found = false;
    const int width = getStyleProperty<int>(eStyleWidth, 0, &found);
    if (found)
        m_minSize.x = m_maxSize.x = width;
    const int height = getStyleProperty<int>(eStyleHeight, 0, &found);
    if (found)
        m_minSize.y = m_maxSize.y = height;
    const bool foreground = getStyleProperty<bool>(eStyleDrawForeground, false, &found);
    if (found) {
        setFlag(eFlagDrawForeground, foreground);
        setFlag(eFlagDrawBackground, !foreground);
    }
    const LazyPicture picture = getStyleProperty<LazyPicture>(eStylePicture, LazyPicture());
    if (!picture.empty()) {
        if (const UIA::Picture* resolved = picture.resolve(1.0f)) {
            const bool includesMargin = getStyleProperty<bool>(eStylePictureIncludesMargin, false);
            if (!resolved->isVertResizable())
                m_minSize.y = m_maxSize.y =
                    resolved->getAnimationHeight() + (includesMargin ? 0 : m_margin.top + m_margin.bottom);
            if (!resolved->isHorzResizable())
                m_minSize.x = m_maxSize.x =
                    resolved->getAnimationWidth() + (includesMargin ? 0 : m_margin.left + m_margin.right);
        }
    }
    setSize(m_size);
    bool foundX = false, foundY = false;
    const int x = getStyleProperty<int>(eStyleX, 0, &foundX);
    const int y = getStyleProperty<int>(eStyleY, 0, &foundY);
    if (foundX || foundY) {
        setPos(GP::Point(x, y));
        m_flags |= eFlagNoAlign;
    }
    const int z = getStyleProperty<int>(eStyleZIndex, m_zIndex, &found);
    if (found && z != m_zIndex) {
        m_zIndex = z;
        if (m_parent) {
            setParentAlign();
            m_parent->m_childrenByZIndex.clear();
        }
    }
    m_needsAlign = true;
    m_flags &= ~std::uint64_t(eFlagStyleChanged);
}

// --- Invalidation, timers, painting ---------------------------------------------------------------

void Widget::setInvalid(unsigned aspects)
{
    if (m_pane)
        m_pane->orDirty(Pane::eDirtyInvalid);
    m_invalidAspects.fetch_or(aspects ? aspects : s_uDefaultInvalidAspects);
}

void Widget::setTimer(int ticks)
{
    if (!m_pane) {
        m_pendingTimer = std::max(ticks, 0);
        return;
    }
    if (ticks <= 0) {
        m_pane->stopTimerEntry(this);
        m_pendingTimer = 0;
        return;
    }
    m_pane->setTimerEntry(this, ticks);
}

void Widget::collectInvalidRegions(GP::Region& out)
{
    const std::uint32_t old = m_invalidAspects.exchange(0);
    GP::Region own;
    const eInvalidRegion r = getInvalidRegion(own, old);
    bool whole = false;
    if (r == eInvalidRegionWhole || (r == eInvalidRegionByAspects && old != 0)) {
        out.addFast(GP::Rect(m_absolutePos.x, m_absolutePos.y, m_absolutePos.x + m_size.x, m_absolutePos.y + m_size.y));
        whole = true;
    } else if (r == eInvalidRegionGiven) {
        own.moveBy(m_absolutePos.x, m_absolutePos.y);
        GP::Region::add(out, out, own);
    } else if (!m_invalidRegion.isEmpty()) {
        m_invalidRegion.moveBy(m_absolutePos.x, m_absolutePos.y);
        GP::Region::add(out, out, m_invalidRegion);
    }
    m_invalidRegion.clear();
    for (const std::shared_ptr<Widget>& child : m_children) {
        if (!(child->m_flags & (eFlagActive | eFlagActivated)))
            continue;
        if (whole)
            child->resetInvalidRegions();
        else
            child->collectInvalidRegions(out);
    }
}

void Widget::resetInvalidRegions()
{
    m_invalidAspects.exchange(0);
    m_invalidRegion.clear();
    for (const std::shared_ptr<Widget>& child : m_children)
        if (child->m_flags & (eFlagActive | eFlagActivated))
            child->resetInvalidRegions();
}

bool Widget::getOpaqueRegion(GP::Region& out) const
{
    if (m_clip.isEmpty())
        return false;
    out.clear();
    if (m_flags & eFlagOpaque) {
        out.addFast(m_clip);
        return true;
    }
    if (m_flags & eFlagOpaqueInsideMargin) {
        const GP::Rect inner = getContentClip();
        if (!inner.isEmpty())
            out.addFast(inner);
        return true;
    }
    if (m_opaqueChildsRegion.isEmpty())
        return false;
    m_opaqueChildsRegion.copyTo(out);
    return true;
}

void Widget::updateOpaqueChildsRegion()
{
    m_opaqueChildsRegion.clear();
    GP::Region child;
    for (const std::shared_ptr<Widget>& c : m_children)
        if (c->getOpaqueRegion(child))
            GP::Region::add(m_opaqueChildsRegion, m_opaqueChildsRegion, child);
}

void Widget::paint(Canvas& canvas, const GP::Region& region)
{
    constexpr std::uint64_t kPainted = eFlagActive | eFlagParentShown | eFlagVisible;
    if (m_clip.isEmpty() || (m_flags & kPainted) != kPainted)
        return;
    PaintContext context(canvas, region, m_clip, canvas.getBackingScaleFactor(), PaintContext::ePassBackground);
    const auto pass = [&] {
        canvas.setOrigin(m_absolutePos);
        onPaint(context);
        canvas.resetClip();
        canvas.resetOrigin();
    };
    if (m_flags & eFlagDrawBackground)
        pass();
    for (const std::shared_ptr<Widget>& child : std::vector<std::shared_ptr<Widget>>(getChildrenByZIndex()))
        if (!child->m_overlay && region.testRect(child->m_clip) != GP::Region::eRectOutside)
            child->paint(canvas, region);
    if (m_flags & eFlagDrawForeground) {
        context = PaintContext(canvas, region, m_clip, canvas.getBackingScaleFactor(), PaintContext::ePassForeground);
        pass();
    }
}

void Widget::postPaintAlign()
{
    if (m_flags & eFlagPostPaintAlign) {
        m_flags &= ~std::uint64_t(eFlagPostPaintAlign);
        onPostPaintAlign();
    }
    for (const std::shared_ptr<Widget>& child : std::vector<std::shared_ptr<Widget>>(getChildrenByZIndex()))
        child->postPaintAlign();
}

// --- Style ----------------------------------------------------------------------------------------

const UIA::Font* Widget::getFontProperty() const
{
    ManagerContainer* container = Lib::getManagerContainer();
    const UIA::Font* fallback = container ? container->getFont(ManagerContainer::getDefaultFontData()) : nullptr;
    const UIA::Font* font = getStyleProperty<const UIA::Font*>(eStyleFont, fallback);
    return font ? font : fallback;
}

void Widget::setStyleSheetChanged()
{
    m_flags |= eFlagStyleChanged;
    setAlign();
    for (const std::shared_ptr<Widget>& child : m_children)
        child->setStyleSheetChanged();
}

void Widget::removeFromCache() const
{
    if (const StyleSheet* sheet = sheetOf(*this))
        sheet->removeFromCache(*this);
    for (const std::shared_ptr<Widget>& child : m_children)
        child->removeFromCache();
}

const Property* Widget::findStyleProperty(eStyleProperty property) const
{
    const StyleSheet* sheet = sheetOf(*this);
    return sheet ? sheet->findProperty(*this, styleName(property)) : nullptr;
}

const Property* Widget::findStyleProperty(const char* name) const
{
    const StyleSheet* sheet = sheetOf(*this);
    return sheet ? sheet->findProperty(*this, qv::symbol(name, name ? std::strlen(name) : 0)) : nullptr;
}

}  // namespace QV::PXT
