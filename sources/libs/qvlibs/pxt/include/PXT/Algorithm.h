// The rules of one property that apply to a widget, from the style sheet its lookups use.
#pragma once

#include "GP/Symbol.h"

#include <functional>
#include <utility>
#include <vector>

namespace QV::PXT {

class Property;
class Selector;
class Widget;

using tRule = std::pair<Selector, Property>;
using tRuleRefs = std::vector<std::reference_wrapper<const tRule>>;

namespace Algorithm {

// The rules of `name` that apply to the widget (attribute tests included, state tests not), from
// its pane's sheet or else the manager's default sheet, in lookup order; empty outside a pane.
tRuleRefs collectPropertyRules(const Widget& widget, qv::symbol name);

}  // namespace Algorithm

}  // namespace QV::PXT
