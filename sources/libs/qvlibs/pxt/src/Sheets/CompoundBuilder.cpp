#include "Sheets/CompoundBuilder.h"

#include "PXT/ManagerContainer.h"

#include <cstring>

namespace QV::PXT::DETAIL {

namespace {

using eUnit = Property::eUnit;

// The int of a declaration of unit none (or px when allowed); null for any other value.
const int* intOf(const Property& property, bool pxAllowed)
{
    const eUnit unit = property.getUnit();
    if (unit != Property::eUnitNone && !(pxAllowed && unit == Property::eUnitPx))
        return nullptr;
    return std::get_if<int>(&property.getValue());
}

// The URL rule: a url("...") value, or the empty URL for "no"; anything else is no URL.
std::optional<std::string> retrieveURL(const Property& property)
{
    const std::string* text = std::get_if<std::string>(&property.getValue());
    if (!text)
        return std::nullopt;
    if (property.getUnit() == Property::eUnitURL)
        return *text;
    if (property.getUnit() == Property::eUnitString && *text == "no")
        return std::string();
    return std::nullopt;
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
    const std::string& name = property.getName().string();
    const eUnit unit = property.getUnit();
    const std::string* text = std::get_if<std::string>(&property.getValue());
    auto both = [&](auto&& change) {
        change(m_picture);
        change(m_dyeMask);
    };

    if (name == "font-size") {
        if (const int* value = intOf(property, true))
            m_font.size = *value;
    } else if (name == "font-hinting") {
        if (const bool* value = std::get_if<bool>(&property.getValue()); value && unit == Property::eUnitBool)
            m_font.style =
                *value ? (m_font.style | UIA::Font::eStyleHinting) : (m_font.style & ~UIA::Font::eStyleHinting);
    } else if (name == "font-style") {
        if (text && unit == Property::eUnitString) {
            if (*text == "bold")
                m_font.style |= UIA::Font::eStyleBold;
            else if (*text == "italic")
                m_font.style |= UIA::Font::eStyleItalic;
            else if (*text == "underline")
                m_font.style |= UIA::Font::eStyleUnderline;
        }
    } else if (name == "font-resid") {
        if (const int* value = intOf(property, false))
            m_font.resourceId = static_cast<std::uint32_t>(*value);
    } else if (name == "font-name") {
        if (text && unit == Property::eUnitURL) {
            m_font.name = *text;
            m_fontNamed = true;
        }
    } else if (name == "font-family") {
        if (text && unit == Property::eUnitString) {
            m_font.name = *text;
            m_fontNamed = true;
            m_family = true;
        }
    } else if (name == "image") {
        if (auto url = retrieveURL(property))
            m_pictureURL = std::move(url);
    } else if (name == "dye-mask") {
        if (auto url = retrieveURL(property))
            m_dyeMaskURL = std::move(url);
    } else if (name == "animations") {
        if (const int* value = intOf(property, false))
            m_picture.setNumAnimations(static_cast<unsigned>(*value));
    } else if (name == "dye-mask-animations") {
        if (const int* value = intOf(property, false))
            m_dyeMask.setNumAnimations(static_cast<unsigned>(*value));
    } else if (name == "fixed") {
        if (const int* value = intOf(property, true))
            both([v = *value](UIA::PictureProperties& p) {
                p.setFixedTop(v);
                p.setFixedBottom(v);
                p.setFixedLeft(v);
                p.setFixedRight(v);
                p.setVertResizable(true);
                p.setHorzResizable(true);
            });
    } else if (name == "fixed-top" || name == "fixed-bottom") {
        if (const int* value = intOf(property, true)) {
            const bool top = name == "fixed-top";
            both([v = *value, top](UIA::PictureProperties& p) {
                top ? p.setFixedTop(v) : p.setFixedBottom(v);
                p.setVertResizable(true);
            });
        }
    } else if (name == "fixed-left" || name == "fixed-right") {
        if (const int* value = intOf(property, true)) {
            const bool left = name == "fixed-left";
            both([v = *value, left](UIA::PictureProperties& p) {
                left ? p.setFixedLeft(v) : p.setFixedRight(v);
                p.setHorzResizable(true);
            });
        }
    } else if (name == "relative-left" || name == "relative-top") {
        if (const int* value = intOf(property, true)) {
            (name == "relative-left" ? m_pictureDisplacement.x : m_pictureDisplacement.y) = *value;
            m_pictureDisplaced = true;
        }
    } else if (name == "foreground-relative-left" || name == "foreground-relative-top") {
        if (const int* value = intOf(property, true)) {
            (name == "foreground-relative-left" ? m_textDisplacement.x : m_textDisplacement.y) = *value;
            m_textDisplaced = true;
        }
    }
}

std::vector<Property> CompoundBuilder::finish()
{
    std::vector<Property> compounds;
    auto picture = [&](const std::string& url, const UIA::PictureProperties& properties) {
        return url.empty() ? LazyPicture(std::shared_ptr<const UIA::Picture>()) : m_container.getImage(url, properties);
    };
    if (m_pictureURL)
        compounds.emplace_back(picture(*m_pictureURL, m_picture), qv::symbol("picture"), Property::eUnitPicture);
    if (m_dyeMaskURL)
        compounds.emplace_back(picture(*m_dyeMaskURL, m_dyeMask), qv::symbol("dye-mask-picture"),
                               Property::eUnitPicture);
    if (m_pictureDisplaced)
        compounds.emplace_back(m_pictureDisplacement, qv::symbol("picture-displacement"), Property::eUnitPoint);
    if (m_textDisplaced)
        compounds.emplace_back(m_textDisplacement, qv::symbol("text-displacement"), Property::eUnitPoint);
    if (m_fontNamed) {
        UIA::Font::CreateData data = m_font;
        data.resourceId = 0;
        if (m_family)
            data.style |= UIA::Font::eStyleFamily;
        compounds.emplace_back(m_container.getFont(data), qv::symbol("font"), Property::eUnitFont);
    } else if (!sameFontData(m_font, ManagerContainer::getDefaultFontData())) {
        UIA::Font::CreateData data = m_font;
        data.name.clear();
        compounds.emplace_back(m_container.getFont(data), qv::symbol("font"), Property::eUnitFont);
    }
    return compounds;
}

}  // namespace QV::PXT::DETAIL
