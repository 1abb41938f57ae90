// One style sheet: the rules of a parsed text kept per property name, in lookup order (higher
// specificity first, the earlier rule first among equals), with the compound properties ("font",
// "picture", "dye-mask-picture", "picture-displacement", "text-displacement") built from groups of
// plain declarations, and a per-widget cache of the rules whose class, style, id and ancestors fit.
//
// The cache is keyed by the widget's address: widgets drop their entry when their identity or place
// changes and when they die. Every load attempt empties it. Main thread only.
#pragma once

#include "GP/CharSequence.h"
#include "GP/Symbol.h"
#include "PXT/Property.h"
#include "PXT/Selector.h"

#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace QV::PXT {

class ManagerContainer;
class StyleParser2;
class Widget;

using tRule = std::pair<Selector, Property>;
using tRuleRefs = std::vector<std::reference_wrapper<const tRule>>;

class StyleSheet {
public:
    explicit StyleSheet(ManagerContainer& container);
    StyleSheet(const StyleSheet&) = delete;
    StyleSheet& operator=(const StyleSheet&) = delete;

    // The stylesheet resource `name` of the container; the rules are replaced when it parses, else
    // kept. Messages name the resource; a text that parses into no rule at all (empty, or nothing
    // but errors) empties the sheet and is reported as such.
    void load(const GP::CharSequence<char>& name);
    // The same from text in memory.
    void createDirect(const GP::CharSequence<char>& text);
    void transferParsedRules(const StyleParser2& parser);
    void insertRulesIntoTemporary(const std::vector<Selector>& selectors, const Property& property);

    // The widget's rules of `name` that pass Selector::doClassIdsApply, made on first use.
    const tRuleRefs& getPropertyCache(const Widget& widget, qv::symbol name) const;
    // getPropertyCache filtered by doesWidgetApply with attribute tests.
    tRuleRefs collectPropertyRules(const Widget& widget, qv::symbol name) const;
    // The first rule of `name` that applies to the widget in its current state, or null: the
    // lookup of widget style properties, without a copy of the list.
    const Property* findProperty(const Widget& widget, qv::symbol name) const;
    void removeFromCache(const Widget& widget) const;

    ManagerContainer& getContainer() const { return m_container; }
    const std::unordered_map<qv::symbol, std::vector<tRule>>& getRules() const { return m_rules; }
    const std::set<std::string>& getImports() const { return m_imports; }

private:
    void parsed(const StyleParser2& parser, bool success);

    ManagerContainer& m_container;
    std::unordered_map<qv::symbol, std::vector<tRule>> m_rules;
    // The sorting stage of a transfer.
    std::unordered_map<qv::symbol, std::vector<tRule>> m_temporary;
    std::set<std::string> m_imports;
    mutable std::unordered_map<const Widget*, std::unordered_map<qv::symbol, tRuleRefs>> m_cache;
};

}  // namespace QV::PXT
