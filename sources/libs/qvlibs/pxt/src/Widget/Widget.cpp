#include "PXT/Widget.h"

#include "PXT/Pane.h"
#include "PXT/StyleSheet.h"
#include "PXT/StyleSheetManager.h"

#include <algorithm>

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
    removeFromAllCaches(*this);
}

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
    // The new child changes what ancestor steps see below this widget.
    removeFromAllCaches(*this);
    removeFromAllCaches(*child);
}

bool Widget::eraseChild(const Widget& child)
{
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [&](const std::shared_ptr<Widget>& c) { return c.get() == &child; });
    if (found == m_children.end())
        return false;
    const std::shared_ptr<Widget> keep = *found;
    m_children.erase(found);
    keep->setPane(nullptr);
    keep->m_parent = nullptr;
    keep->removeFromCache();
    return true;
}

void Widget::clearChildren()
{
    for (const std::shared_ptr<Widget>& child : m_children) {
        child->setPane(nullptr);
        child->m_parent = nullptr;
    }
    m_children.clear();
}

void Widget::setPane(Pane* pane)
{
    for (const std::shared_ptr<Widget>& child : m_children)
        child->setPane(pane);
    if (pane == m_pane)
        return;
    if (m_pane)
        m_pane->onWidgetRemoved(*this);
    m_pane = pane;
    m_flags &= ~std::uint64_t(eFlagActivated);
}

void Widget::setStyle(const GP::CharSequence<char>& style)
{
    m_style = qv::symbol(style.data(), style.size());
    removeFromCache();
}

void Widget::setAttribute(const std::string& name, const std::string& value)
{
    if (m_attributes.setAttribute(name, value))
        setStyleSheetChanged();
}

void Widget::setEnabled(bool enabled)
{
    if (enabled == isEnabled())
        return;
    if (enabled)
        m_flags |= eFlagEnabled;
    else
        m_flags &= ~std::uint64_t(eFlagEnabled);
}

void Widget::setSelected(bool selected)
{
    if (selected)
        m_flags |= eFlagSelected;
    else
        m_flags &= ~std::uint64_t(eFlagSelected);
}

bool Widget::isOver() const { return m_pane && m_pane->getOverWidget() == this; }

bool Widget::isDown() const { return m_pane && m_pane->getPressedWidget() == this && m_pane->isLeftButtonDown(); }

bool Widget::isFocus() const { return m_pane && m_pane->getFocusWidget() == this; }

bool Widget::isInput() const { return m_pane && m_pane->getInputWidget() == this; }

void Widget::setStyleSheetChanged()
{
    m_flags |= eFlagStyleChanged;
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

const Property* Widget::findStyleProperty(const char* name) const
{
    const StyleSheet* sheet = sheetOf(*this);
    return sheet ? sheet->findProperty(*this, qv::symbol(name, name ? std::char_traits<char>::length(name) : 0))
                 : nullptr;
}

}  // namespace QV::PXT
