#include "PXT/ClassSelector.h"

#include "PXT/Widget.h"

namespace QV::PXT {

void ClassSelector::set(const std::string& className, const std::string& style, const std::string& id)
{
    // Most parts are empty: the shared empty symbol needs no lookup.
    auto intern = [](const std::string& text) { return text.empty() ? qv::symbol() : qv::symbol(text); };
    m_class = intern(className);
    m_style = intern(style);
    m_id = intern(id);
}

bool ClassSelector::doesClassIDapply(const std::string& widgetClass) const
{
    const std::string& own = m_class.string();
    if (own.empty() || widgetClass == own)
        return true;
    // The selector class X also selects the template classes X<...>.
    const std::size_t bracket = widgetClass.find('<');
    return bracket != std::string::npos && bracket == own.size() && widgetClass.compare(0, bracket, own) == 0;
}

bool ClassSelector::doesIdentityApply(const Widget& widget) const
{
    static const qv::symbol empty;
    if (m_id != empty && m_id != widget.getIdSymbol())
        return false;
    if (m_style != empty && m_style != widget.getStyleSymbol())
        return false;
    return doesClassIDapply(widget.getClass());
}

unsigned ClassSelector::getSpecifity() const
{
    static const qv::symbol empty;
    return (m_id != empty ? 0x1000000u : 0u) + (m_style != empty ? 0x10000u : 0u) + (m_class != empty ? 1u : 0u);
}

}  // namespace QV::PXT
