#include "Sheets/Algorithm.h"

#include "PXT/Pane.h"
#include "PXT/StyleSheetManager.h"
#include "PXT/Widget.h"

namespace QV::PXT::Algorithm {

tRuleRefs collectPropertyRules(const Widget& widget, qv::symbol name)
{
    const Pane* pane = widget.getPane();
    if (!pane)
        return {};
    if (const StyleSheet* own = pane->getStyleSheet())
        return own->collectPropertyRules(widget, name);
    const StyleSheetManager* manager = StyleSheetManager::get();
    return manager ? manager->getDefaultStyleSheet().collectPropertyRules(widget, name) : tRuleRefs();
}

}  // namespace QV::PXT::Algorithm
