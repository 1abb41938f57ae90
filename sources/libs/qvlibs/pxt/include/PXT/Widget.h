// The node of the toolkit's widget tree, as far as the style system needs it: the identity that
// selectors test (class, style name, id, attributes), the state flags behind the selector states,
// the parent and children that ancestor steps walk, the pane that hosts the tree, and the style
// lookup. Geometry, layout, painting and events come with the rest of the widget tree.
//
// Widgets are always owned through std::shared_ptr (made with std::make_shared). Main thread only.
#pragma once

#include "GP/CharSequence.h"
#include "GP/Symbol.h"
#include "PXT/LazyPicture.h"
#include "PXT/Property.h"
#include "PXT/StateSelector.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace QV::UIA {
class Font;
}

namespace QV::PXT {

class Pane;

// A widget's own attributes, tested by attribute selectors before the built-in ones.
class AttributesMap : public std::map<std::string, std::string> {
public:
    // Inserts the pair or replaces the value; true when the name was new or the value differs.
    bool setAttribute(const std::string& name, const std::string& value);
};

class Widget : public std::enable_shared_from_this<Widget> {
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
        eFlagNoAlign = 0x800,
        eFlagDeferredLayout = 0x1000,
        eFlagDrawBackground = 0x2000,
        eFlagStyleChanged = 0x80000,
    };
    static constexpr std::uint64_t kInitialFlags = 0x8303D;

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

    // --- Tree --------------------------------------------------------------------------------
    // Makes `child` the last child under the id `id` (taking it from its old parent); returns it.
    template <class T>
    T& insertChild(std::shared_ptr<T> child, const std::string& id)
    {
        static_assert(std::is_base_of_v<Widget, T>, "only widgets are children");
        prepareInsertedWidget(child, id);
        m_children.push_back(child);
        return *child;
    }
    void prepareInsertedWidget(const std::shared_ptr<Widget>& child, const std::string& id);
    // Removes the child; false when it is not a child of this widget.
    bool eraseChild(const Widget& child);
    void clearChildren();
    Widget* getParent() const { return m_parent; }
    const std::vector<std::shared_ptr<Widget>>& getChildren() const { return m_children; }

    // The pane of the whole subtree (null: outside a pane, where style lookups give defaults).
    void setPane(Pane* pane);
    Pane* getPane() const { return m_pane; }

    // --- Identity and state ------------------------------------------------------------------
    const std::string& getId() const { return m_id.string(); }
    qv::symbol getIdSymbol() const { return m_id; }
    const std::string& getStyle() const { return m_style.string(); }
    qv::symbol getStyleSymbol() const { return m_style; }
    void setStyle(const GP::CharSequence<char>& style);
    const AttributesMap& getAttributes() const { return m_attributes; }
    // Only a change marks the style as changed.
    void setAttribute(const std::string& name, const std::string& value);
    void setEnabled(bool enabled);
    void setSelected(bool selected);
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

    // --- Style -------------------------------------------------------------------------------
    // The value of the first rule for `name` that applies to the widget in its current state, when
    // it holds a T (for bool: any value Property::getBoolValue reads); the zero value of T for the
    // explicit "no"; else defaultValue. found (may be null) tells which.
    template <class T>
    const T& getStyleProperty(const char* name, const T& defaultValue, bool* found = nullptr) const;
    // Marks the style of the widget and its subtree as changed.
    void setStyleSheetChanged();
    // Drops the widget's and its subtree's entries from the style sheets' per-widget caches.
    void removeFromCache() const;

private:
    // The first property for `name` whose rule applies to the widget now, or null.
    const Property* findStyleProperty(const char* name) const;

    qv::symbol m_id;
    Widget* m_parent = nullptr;
    std::vector<std::shared_ptr<Widget>> m_children;
    Pane* m_pane = nullptr;
    qv::symbol m_style;
    AttributesMap m_attributes;
    std::uint64_t m_flags = kInitialFlags;
};

template <class T>
const T& Widget::getStyleProperty(const char* name, const T& defaultValue, bool* found) const
{
    static_assert(std::is_same_v<T, int> || std::is_same_v<T, unsigned> || std::is_same_v<T, bool> ||
                      std::is_same_v<T, const UIA::Font*> || std::is_same_v<T, LazyPicture>,
                  "style properties are read as int, unsigned, bool, font or picture");
    static const T no_value{};
    const Property* property = findStyleProperty(name);
    const T* value = nullptr;
    if (property) {
        if constexpr (std::is_same_v<T, bool>)
            value = property->getBoolValue();
        else
            value = std::get_if<T>(&property->getValue());
        if (!value && property->isNo())
            value = &no_value;
    }
    if (found)
        *found = value != nullptr;
    return value ? *value : defaultValue;
}

}  // namespace QV::PXT
