// A widget's drawing properties, matched once per style change: for each property the values of
// the rules that apply to the widget, in rule order, each with its rule's state tests. Painting
// only runs the state tests: the first entry whose states match gives the value.
#pragma once

#include "GP/Point.h"
#include "GP/Symbol.h"
#include "PXT/Canvas.h"
#include "PXT/LazyPicture.h"
#include "PXT/Property.h"
#include "PXT/StateSelector.h"
#include "PXT/StyleProperties.h"

#include <array>
#include <utility>
#include <vector>

namespace QV::UIA {
class Font;
}

namespace QV::PXT {

class ManagerContainer;
class Widget;

// Which colour a drawing uses; with the border flag, background selects the background border and
// every other role the foreground border.
enum eRole : int {
    eRoleBackground = 0,
    eRoleSelectionBackground = 1,
    eRoleForeground = 2,
    eRoleSelectionForeground = 3,
    eRoleDye = 4,
};

class DrawingCache {
public:
    template <class T>
    using tList = std::vector<std::pair<StateSelector, T>>;

    // The colour lists, in this order; each has a palette list of the same order.
    enum eColorList : int {
        eBackground = 0,
        eSelectionBackground,
        eForeground,
        eSelectionForeground,
        eDye,
        eBackgroundBorder,
        eForegroundBorder,
        eColorLists
    };

    // A value of the wanted unit is entered as T; the explicit "no" as `no`; anything else skipped.
    template <class T>
    struct tTestUnitCacheFunctor {
        tList<T>& target;
        Property::eUnit unit;
        T no;
        void operator()(const StateSelector& states, const Property& property) const;
    };
    // Words only: left, right, center for the horizontal list; top, bottom, center for the vertical.
    struct tGetAlignmentFunctor {
        tList<eTextAlignment>& target;
        bool horizontal;
        void operator()(const StateSelector& states, const Property& property) const;
    };
    struct tGetBoolFunctor {
        tList<bool>& target;
        void operator()(const StateSelector& states, const Property& property) const;
    };

    DrawingCache(const Widget& widget, ManagerContainer& container);
    DrawingCache(DrawingCache&&) = default;
    DrawingCache(const DrawingCache&) = delete;
    DrawingCache& operator=(const DrawingCache&) = delete;

    // Refills every list from the rules that apply to the widget now.
    void rebuildCache();
    template <class F>
    void rebuildRules(eStyleProperty property, F functor);

    unsigned getColor(eRole role, bool border, unsigned long colourIndex) const;
    // Null only when there is no toolkit (no default font).
    const UIA::Font* getFont() const;
    eTextAlignment getAlignment() const;
    const LazyPicture& getPicture() const { return first(m_picture, LazyPicture::gEmptyPicture); }
    const LazyPicture& getDyeMaskPicture() const { return first(m_dyeMaskPicture, LazyPicture::gEmptyPicture); }
    int getAnimationIndex() const { return first(m_animationIndex, 0); }
    int getDyeMaskAnimationIndex() const { return first(m_dyeMaskAnimationIndex, 0); }
    GP::Point getPictureDisplacement() const { return first(m_pictureDisplacement, GP::Point()); }
    GP::Point getTextDisplacement() const { return first(m_textDisplacement, GP::Point()); }
    bool getPictureIncludesMargin() const { return first(m_pictureIncludesMargin, false); }

private:
    // The value of the first entry whose states match the widget, else the fallback.
    template <class T>
    const T& first(const tList<T>& list, const T& fallback) const
    {
        for (const auto& [states, value] : list)
            if (states.doesApply(*m_widget))
                return value;
        return fallback;
    }

    const Widget* m_widget;
    std::array<tList<unsigned>, eColorLists> m_colors;
    std::array<tList<int>, eColorLists> m_palettes;
    tList<const UIA::Font*> m_fonts;
    const UIA::Font* m_defaultFont;
    tList<eTextAlignment> m_horizontalAlignment;
    tList<eTextAlignment> m_verticalAlignment;
    tList<LazyPicture> m_picture;
    tList<LazyPicture> m_dyeMaskPicture;
    tList<int> m_animationIndex;
    tList<int> m_dyeMaskAnimationIndex;
    tList<GP::Point> m_pictureDisplacement;
    tList<GP::Point> m_textDisplacement;
    tList<bool> m_pictureIncludesMargin;
};

}  // namespace QV::PXT
