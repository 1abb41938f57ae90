#include "PXT/DrawingCache.h"

#include "Sheets/Algorithm.h"
#include "PXT/ManagerContainer.h"
#include "PXT/Pane.h"
#include "PXT/Selector.h"
#include "PXT/Widget.h"

#include <cstdio>
#include <type_traits>

namespace QV::PXT {

namespace {

// The value as T. Integers of either signedness serve an int; a float (an index written with a
// decimal point) is no int and is not entered.
template <class T>
const T* valueAs(const Property& property, T& converted)
{
    const Property::tValue& value = property.getValue();
    if (const T* exact = std::get_if<T>(&value))
        return exact;
    if constexpr (std::is_same_v<T, int>) {
        if (const unsigned* u = std::get_if<unsigned>(&value)) {
            converted = int(*u);
            return &converted;
        }
    }
    return nullptr;
}

// The colour lists' properties and their palettes follow each other in the property table in list
// order (StyleProperties.h says so): list i reads these two.
static_assert(eStyleForegroundBorderColor - eStyleBackgroundColor == DrawingCache::eForegroundBorder);
static_assert(eStyleBackgroundColorPalette - eStyleBackgroundColor == DrawingCache::eColorLists);
static_assert(eStyleForegroundBorderColorPalette - eStyleBackgroundColorPalette == DrawingCache::eForegroundBorder);

eStyleProperty colorProperty(int list) { return eStyleProperty(eStyleBackgroundColor + list); }
eStyleProperty paletteProperty(int list) { return eStyleProperty(eStyleBackgroundColorPalette + list); }

}  // namespace

template <class T>
void DrawingCache::tTestUnitCacheFunctor<T>::operator()(const StateSelector& states, const Property& property) const
{
    if (property.isNo()) {
        target.emplace_back(states, no);
        return;
    }
    if (property.getUnit() != unit)
        return;
    T converted{};
    if (const T* value = valueAs(property, converted))
        target.emplace_back(states, *value);
}

void DrawingCache::tGetAlignmentFunctor::operator()(const StateSelector& states, const Property& property) const
{
    const std::string* word = std::get_if<std::string>(&property.getValue());
    if (property.getUnit() != Property::eUnitString || !word)
        return;
    eTextAlignment alignment;
    if (*word == "center")
        alignment = eAlignCenter;
    else if (horizontal)
        alignment = *word == "right" ? eAlignRight : eAlignLeft;
    else if (*word == "top")
        alignment = eAlignTop;
    else if (*word == "bottom")
        alignment = eAlignBottom;
    else
        // An unknown vertical word means centred: the horizontal left bit has no meaning in the
        // vertical part of the alignment the text renderer takes.
        alignment = eAlignCenter;
    target.emplace_back(states, alignment);
}

void DrawingCache::tGetBoolFunctor::operator()(const StateSelector& states, const Property& property) const
{
    if (const bool* value = property.getBoolValue())
        target.emplace_back(states, *value);
}

DrawingCache::DrawingCache(const Widget& widget, ManagerContainer& container)
    : m_widget(&widget), m_defaultFont(container.getFont(ManagerContainer::getDefaultFontData()))
{}

template <class F>
void DrawingCache::rebuildRules(eStyleProperty property, F functor)
{
    functor.target.clear();
    for (const tRule& rule : Algorithm::collectPropertyRules(*m_widget, styleName(property)))
        functor(rule.first.states(), rule.second);
}

void DrawingCache::rebuildCache()
{
    for (int i = 0; i < eColorLists; ++i)
        rebuildRules(colorProperty(i), tTestUnitCacheFunctor<unsigned>{m_colors[i], Property::eUnitColor, 0u});
    for (int i = 0; i < eColorLists; ++i)
        rebuildRules(paletteProperty(i), tTestUnitCacheFunctor<int>{m_palettes[i], Property::eUnitNone, 0});
    rebuildRules(eStyleFont, tTestUnitCacheFunctor<const UIA::Font*>{m_fonts, Property::eUnitFont, nullptr});
    rebuildRules(eStyleHorizontalAlignment, tGetAlignmentFunctor{m_horizontalAlignment, true});
    rebuildRules(eStyleVerticalAlignment, tGetAlignmentFunctor{m_verticalAlignment, false});
    rebuildRules(eStylePicture, tTestUnitCacheFunctor<LazyPicture>{m_picture, Property::eUnitPicture, LazyPicture()});
    rebuildRules(eStyleDyeMaskPicture,
                 tTestUnitCacheFunctor<LazyPicture>{m_dyeMaskPicture, Property::eUnitPicture, LazyPicture()});
    rebuildRules(eStyleAnimationIndex, tTestUnitCacheFunctor<int>{m_animationIndex, Property::eUnitNone, 0});
    rebuildRules(eStyleDyeMaskAnimationIndex,
                 tTestUnitCacheFunctor<int>{m_dyeMaskAnimationIndex, Property::eUnitNone, 0});
    rebuildRules(eStylePictureDisplacement,
                 tTestUnitCacheFunctor<GP::Point>{m_pictureDisplacement, Property::eUnitPoint, GP::Point()});
    rebuildRules(eStyleTextDisplacement,
                 tTestUnitCacheFunctor<GP::Point>{m_textDisplacement, Property::eUnitPoint, GP::Point()});
    rebuildRules(eStylePictureIncludesMargin, tGetBoolFunctor{m_pictureIncludesMargin});
}

unsigned DrawingCache::getColor(eRole role, bool border, unsigned long colourIndex) const
{
    const int list = border ? (role == eRoleBackground ? eBackgroundBorder : eForegroundBorder) : int(role);
    if (list < 0 || list >= eColorLists)
        return 0;
    const unsigned colour = first(m_colors[list], 0u);
    const int palette = first(m_palettes[list], 0);
    const Pane* pane = m_widget->getPane();
    if (palette == 0 || !pane || !pane->getRootWidget())
        return colour;
    char name[64];
    std::snprintf(name, sizeof name, "palette%d-color%lu", palette, colourIndex);
    return pane->getRootWidget()->getStyleProperty<unsigned>(name, colour);
}

const UIA::Font* DrawingCache::getFont() const
{
    // An entry without a font (the value "no", or a font the container could not make) means the
    // default font: text is always drawn and measured with some font.
    const UIA::Font* font = first(m_fonts, static_cast<const UIA::Font*>(nullptr));
    return font ? font : m_defaultFont;
}

eTextAlignment DrawingCache::getAlignment() const
{
    return eTextAlignment(first(m_horizontalAlignment, eAlignLeft) | first(m_verticalAlignment, eAlignCenter));
}

}  // namespace QV::PXT
