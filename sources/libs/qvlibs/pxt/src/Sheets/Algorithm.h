// The rules of one property that apply to a widget, from the style sheet its lookups use.
#pragma once

#include "GP/Symbol.h"
#include "PXT/StyleSheet.h"

namespace QV::PXT {

class Widget;

namespace Algorithm {

// The rules of `name` that apply to the widget (attribute tests included, state tests not), from
// its pane's sheet or else the manager's default sheet, in lookup order; empty outside a pane.
tRuleRefs collectPropertyRules(const Widget& widget, qv::symbol name);

}  // namespace Algorithm

}  // namespace QV::PXT
