#include "PXT/StyleSheet.h"

#include "PXT/ManagerContainer.h"
#include "PXT/StyleParser2.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "PXT/Widget.h"
#include "Sheets/CompoundBuilder.h"

#include "GP/Stream.h"

#include <algorithm>

namespace QV::PXT {

StyleSheet::StyleSheet(ManagerContainer& container) : m_container(container) {}

void StyleSheet::load(const GP::CharSequence<char>& name)
{
    const std::string text = name.str();
    const std::shared_ptr<GP::Stream> stream =
        m_container.getResourceStream(name, ManagerContainer::eResourceStyleSheets, true);
    if (stream) {
        StyleParser2 parser(this);
        const bool success = parser.processStream(*stream, text);
        parsed(parser, success);
        // The parser names what it refused; a text that gave nothing must be named too: the
        // window is then drawn without a skin.
        if (!success && parser.getErrors().empty())
            StyleSheetErrorsLogSource::log("Stylesheet error: " + text + " - can't read the stylesheet");
        else if (success && parser.getRules().empty())
            StyleSheetErrorsLogSource::log("Stylesheet error: " + text + " - no usable rules, the skin is empty");
    }
    m_cache.clear();
}

void StyleSheet::createDirect(const GP::CharSequence<char>& text)
{
    StyleParser2 parser(this);
    const bool success = parser.processString(text.str());
    parsed(parser, success);
    m_cache.clear();
}

void StyleSheet::parsed(const StyleParser2& parser, bool success)
{
    if (!success)
        return;
    transferParsedRules(parser);
    m_imports = parser.getImports();
}

void StyleSheet::transferParsedRules(const StyleParser2& parser)
{
    m_cache.clear();
    m_rules.clear();
    m_temporary.clear();
    if (parser.getRules().empty())
        return;
    for (const StyleParser2::tRule& rule : parser.getRules()) {
        DETAIL::CompoundBuilder compounds(m_container);
        for (const Property& property : rule.properties) {
            compounds.apply(property);
            insertRulesIntoTemporary(rule.selectors, property);
        }
        for (const Property& compound : compounds.finish())
            insertRulesIntoTemporary(rule.selectors, compound);
    }
    // Higher specificity first; among equals the earlier rule first.
    for (auto& [name, rules] : m_temporary) {
        std::stable_sort(rules.begin(), rules.end(), [](const tRule& a, const tRule& b) {
            return a.first.getSpecifity() > b.first.getSpecifity();
        });
        m_rules.emplace(name, std::move(rules));
    }
    m_temporary.clear();
}

void StyleSheet::insertRulesIntoTemporary(const std::vector<Selector>& selectors, const Property& property)
{
    std::vector<tRule>& rules = m_temporary[property.getName()];
    for (const Selector& selector : selectors)
        rules.emplace_back(selector, property);
}

const tRuleRefs& StyleSheet::getPropertyCache(const Widget& widget, qv::symbol name) const
{
    auto& byName = m_cache[&widget];
    const auto [entry, inserted] = byName.try_emplace(name);
    if (inserted) {
        const auto rules = m_rules.find(name);
        if (rules != m_rules.end())
            for (const tRule& rule : rules->second)
                if (rule.first.doClassIdsApply(widget))
                    entry->second.push_back(std::cref(rule));
    }
    return entry->second;
}

tRuleRefs StyleSheet::collectPropertyRules(const Widget& widget, qv::symbol name) const
{
    tRuleRefs result;
    for (const tRule& rule : getPropertyCache(widget, name))
        if (rule.first.doesWidgetApply(widget, true))
            result.push_back(std::cref(rule));
    return result;
}

const Property* StyleSheet::findProperty(const Widget& widget, qv::symbol name) const
{
    for (const tRule& rule : getPropertyCache(widget, name))
        // The cached rules fit the widget's identity and ancestors; attributes may have changed.
        if (rule.first.states().doesApply(widget) &&
            (!rule.first.hasAttributeTests() || rule.first.doesWidgetApply(widget, true)))
            return &rule.second;
    return nullptr;
}

void StyleSheet::removeFromCache(const Widget& widget) const { m_cache.erase(&widget); }

}  // namespace QV::PXT
