#include "Sheets/CompoundBuilder.h"

#include "PXT/ManagerContainer.h"
#include "PXT/StyleProperties.h"

#include <cstdint>

namespace QV::PXT::DETAIL {

namespace {

using eUnit = Property::eUnit;

// Whether the declaration's value is of the kind its row takes: the alternative and the unit. Any
// word fits a word kind; the reader knows its words.
bool fits(eStyleValueKind kind, const Property& property)
{
    const Property::tValue& value = property.getValue();
    const eUnit unit = property.getUnit();
    switch (kind) {
    case eValueNumber:
        return std::holds_alternative<int>(value) && (unit == Property::eUnitNone || unit == Property::eUnitPx);
    case eValuePlainInt: return std::holds_alternative<int>(value) && unit == Property::eUnitNone;
    case eValueTrueFalse: return std::holds_alternative<bool>(value) && unit == Property::eUnitBool;
    case eValueWord:
    case eValueAnyWord: return std::holds_alternative<std::string>(value) && unit == Property::eUnitString;
    case eValueURL: return std::holds_alternative<std::string>(value) && unit == Property::eUnitURL;
    // The explicit "no" is the empty URL: no picture.
    case eValuePictureURL:
        return (std::holds_alternative<std::string>(value) && unit == Property::eUnitURL) || property.isNo();
    default: return false;
    }
}

// The URL of a picture-URL declaration that fits: its text, empty for "no".
std::string urlOf(const Property& property)
{
    return property.getUnit() == Property::eUnitURL ? std::get<std::string>(property.getValue()) : std::string();
}

unsigned fontStyleBit(const std::string& word)
{
    if (word == "bold")
        return UIA::Font::eStyleBold;
    if (word == "italic")
        return UIA::Font::eStyleItalic;
    if (word == "underline")
        return UIA::Font::eStyleUnderline;
    return 0;
}

bool sameFontData(const UIA::Font::CreateData& a, const UIA::Font::CreateData& b)
{
    return a.resourceId == b.resourceId && a.size == b.size && a.style == b.style;
}

}  // namespace

CompoundBuilder::CompoundBuilder(ManagerContainer& container)
    : m_container(container), m_font(ManagerContainer::getDefaultFontData())
{}

void CompoundBuilder::apply(const Property& property)
{
    const tStyleProperty* row = findKnownStyleProperty(property.getName());
    if (!row || !(row->readers & eReaderSheet) || !fits(row->kind, property))
        return;
    const Property::tValue& value = property.getValue();
    const int* number = std::get_if<int>(&value);
    const std::string* text = std::get_if<std::string>(&value);
    auto both = [&](auto&& change) {
        change(m_picture);
        change(m_dyeMask);
    };

    switch (row->id) {
    case eStyleFontSize: m_font.size = *number; break;
    case eStyleFontHinting:
        m_font.style = std::get<bool>(value) ? (m_font.style | UIA::Font::eStyleHinting)
                                             : (m_font.style & ~UIA::Font::eStyleHinting);
        break;
    case eStyleFontStyle: m_font.style |= fontStyleBit(*text); break;
    case eStyleFontResid: m_font.resourceId = static_cast<std::uint32_t>(*number); break;
    case eStyleFontFamily: m_family = true; [[fallthrough]];
    case eStyleFontName:
        m_font.name = *text;
        m_fontNamed = true;
        break;
    case eStyleImage: m_pictureURL = urlOf(property); break;
    case eStyleDyeMask: m_dyeMaskURL = urlOf(property); break;
    case eStyleAnimations: m_picture.setNumAnimations(static_cast<unsigned>(*number)); break;
    case eStyleDyeMaskAnimations: m_dyeMask.setNumAnimations(static_cast<unsigned>(*number)); break;
    case eStyleFixed:
        both([v = *number](UIA::PictureProperties& p) {
            p.setFixedTop(v);
            p.setFixedBottom(v);
            p.setFixedLeft(v);
            p.setFixedRight(v);
            p.setVertResizable(true);
            p.setHorzResizable(true);
        });
        break;
    case eStyleFixedTop:
    case eStyleFixedBottom:
        both([v = *number, top = row->id == eStyleFixedTop](UIA::PictureProperties& p) {
            top ? p.setFixedTop(v) : p.setFixedBottom(v);
            p.setVertResizable(true);
        });
        break;
    case eStyleFixedLeft:
    case eStyleFixedRight:
        both([v = *number, left = row->id == eStyleFixedLeft](UIA::PictureProperties& p) {
            left ? p.setFixedLeft(v) : p.setFixedRight(v);
            p.setHorzResizable(true);
        });
        break;
    case eStyleRelativeLeft:
    case eStyleRelativeTop:
        (row->id == eStyleRelativeLeft ? m_pictureDisplacement.x : m_pictureDisplacement.y) = *number;
        m_pictureDisplaced = true;
        break;
    case eStyleForegroundRelativeLeft:
    case eStyleForegroundRelativeTop:
        (row->id == eStyleForegroundRelativeLeft ? m_textDisplacement.x : m_textDisplacement.y) = *number;
        m_textDisplaced = true;
        break;
    default: break;
    }
}

std::vector<Property> CompoundBuilder::finish()
{
    std::vector<Property> compounds;
    auto picture = [&](const std::string& url, const UIA::PictureProperties& properties) {
        return url.empty() ? LazyPicture(std::shared_ptr<const UIA::Picture>()) : m_container.getImage(url, properties);
    };
    if (m_pictureURL)
        compounds.emplace_back(picture(*m_pictureURL, m_picture), styleName(eStylePicture), Property::eUnitPicture);
    if (m_dyeMaskURL)
        compounds.emplace_back(picture(*m_dyeMaskURL, m_dyeMask), styleName(eStyleDyeMaskPicture),
                               Property::eUnitPicture);
    if (m_pictureDisplaced)
        compounds.emplace_back(m_pictureDisplacement, styleName(eStylePictureDisplacement), Property::eUnitPoint);
    if (m_textDisplaced)
        compounds.emplace_back(m_textDisplacement, styleName(eStyleTextDisplacement), Property::eUnitPoint);
    if (m_fontNamed) {
        UIA::Font::CreateData data = m_font;
        data.resourceId = 0;
        if (m_family)
            data.style |= UIA::Font::eStyleFamily;
        compounds.emplace_back(m_container.getFont(data), styleName(eStyleFont), Property::eUnitFont);
    } else if (!sameFontData(m_font, ManagerContainer::getDefaultFontData())) {
        UIA::Font::CreateData data = m_font;
        data.name.clear();
        compounds.emplace_back(m_container.getFont(data), styleName(eStyleFont), Property::eUnitFont);
    }
    return compounds;
}

}  // namespace QV::PXT::DETAIL
