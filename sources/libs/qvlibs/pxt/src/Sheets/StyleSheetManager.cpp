#include "PXT/StyleSheetManager.h"

#include "PXT/Lib.h"
#include "PXT/ManagerContainer.h"

#include <tuple>

namespace QV::PXT {

const char* const StyleSheetManager::s_defaultStyleSheet =
    " * { background-color:rgb(192, 192, 192); background-border-color:rgb(128, 128, 128);  "
    "foreground-color:rgb(0, 0, 0); } \n"
    "*:down { background-color:rgb(176, 176, 176); }                           \n"
    "*:over { background-color:rgb(208, 208, 208); }                           \n"
    "Bar { background-color:rgb(32, 32, 32); /*margin:2; spacing:2;*/ }        \n";

StyleSheetManager::StyleSheetManager(ManagerContainer& container) : m_container(container)
{
    m_sheets.emplace_back(std::piecewise_construct, std::forward_as_tuple(), std::forward_as_tuple(container));
    getDefaultStyleSheet().createDirect(s_defaultStyleSheet);
}

StyleSheetManager* StyleSheetManager::get()
{
    ManagerContainer* container = Lib::getManagerContainer();
    return container ? &container->getStyleSheetManager() : nullptr;
}

void StyleSheetManager::loadDefault(const std::string& name)
{
    auto& [loadedName, sheet] = m_sheets.front();
    if (name == loadedName)
        return;
    loadedName = name;
    sheet.load(name);
}

void StyleSheetManager::removeFromCaches(const Widget& widget) const
{
    for (const auto& entry : m_sheets)
        entry.second.removeFromCache(widget);
}

DrawingCache& StyleSheetManager::getDrawingCache(const Widget& widget)
{
    auto found = m_drawingCaches.find(&widget);
    if (found == m_drawingCaches.end())
        found = m_drawingCaches.emplace(&widget, DrawingCache(widget, m_container)).first;
    return found->second;
}

}  // namespace QV::PXT
