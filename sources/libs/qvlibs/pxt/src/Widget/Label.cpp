#include "PXT/Label.h"

namespace QV::PXT {

const std::string& Label::getClassStatic()
{
    static const std::string name = "Label";
    return name;
}

Label& Label::style(const std::string& text, const char* styleName)
{
    m_styled = true;
    setInvalid();
    setText(text);
    styleDefault(styleName);
    return *this;
}

void Label::onPaint(PaintContext& context)
{
    if (m_styled)
        getDrawer().drawTextPanelItem(*this, context);
}

}  // namespace QV::PXT
