// The compound properties of one rule: "font", "picture", "dye-mask-picture", "picture-displacement"
// and "text-displacement", gathered from the rule's plain declarations in order.
#pragma once

#include "PXT/Property.h"
#include "UIA/Font.h"
#include "UIA/PictureProperties.h"

#include <optional>
#include <string>
#include <vector>

namespace QV::PXT {

class ManagerContainer;

namespace DETAIL {

class CompoundBuilder {
public:
    explicit CompoundBuilder(ManagerContainer& container);

    // Folds the declaration into the compounds when its name is one of the compounds' parts and its
    // value is of that part's kind; any other declaration changes nothing.
    void apply(const Property& property);
    // The compounds the declarations asked for, in the order picture, dye mask, picture and text
    // displacement, font.
    std::vector<Property> finish();

private:
    ManagerContainer& m_container;
    UIA::Font::CreateData m_font;
    bool m_fontNamed = false;
    bool m_family = false;
    UIA::PictureProperties m_picture;
    UIA::PictureProperties m_dyeMask;
    std::optional<std::string> m_pictureURL;
    std::optional<std::string> m_dyeMaskURL;
    GP::Point m_pictureDisplacement;
    GP::Point m_textDisplacement;
    bool m_pictureDisplaced = false;
    bool m_textDisplaced = false;
};

}  // namespace DETAIL

}  // namespace QV::PXT
