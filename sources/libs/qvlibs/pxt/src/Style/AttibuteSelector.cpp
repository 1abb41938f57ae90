#include "PXT/AttibuteSelector.h"

#include "PXT/Widget.h"

#include <cstring>

namespace QV::PXT {

namespace {

template <const std::string& (Widget::*Member)() const>
AttibuteSelector::tValue getWidgetAttribute(const Widget& widget)
{
    return (widget.*Member)();
}

AttibuteSelector::tValue isBarOrSliderHorizonzal(const Widget& widget)
{
    if (const std::optional<bool> horizontal = widget.getHorizontalOrientation())
        return *horizontal;
    return AttibuteSelector::tDoesntExist{};
}

// The string operators; != places no condition on the value (an existing attribute passes).
bool testString(AttibuteSelector::eRule rule, const std::string& value, const std::string& pattern)
{
    switch (rule) {
    case AttibuteSelector::eRuleEquals: return value == pattern;
    case AttibuteSelector::eRulePrefix: return value.compare(0, pattern.size(), pattern) == 0;
    case AttibuteSelector::eRuleSuffix:
        return value.size() >= pattern.size() &&
               value.compare(value.size() - pattern.size(), pattern.size(), pattern) == 0;
    case AttibuteSelector::eRuleContains:
    case AttibuteSelector::eRuleSubstring: return value.find(pattern) != std::string::npos;
    default: return true;
    }
}

struct tCheckValueVisitor : boost::static_visitor<bool> {
    AttibuteSelector::eRule rule;
    const std::string& pattern;

    tCheckValueVisitor(AttibuteSelector::eRule r, const std::string& p) : rule(r), pattern(p) {}
    bool operator()(const AttibuteSelector::tDoesntExist&) const { return false; }
    // A boolean ignores the operator: "true" and "yes" ask for true, anything else for false.
    bool operator()(bool value) const { return value == (pattern == "true" || pattern == "yes"); }
    bool operator()(const std::string& value) const { return testString(rule, value, pattern); }
};

}  // namespace

const AttibuteSelector::tDescriptor AttibuteSelector::s_Descriptors[] = {
    {"getClass", &getWidgetAttribute<&Widget::getClass>},
    {"getStyle", &getWidgetAttribute<&Widget::getStyle>},
    {"getId", &getWidgetAttribute<&Widget::getId>},
    {"isHorizontal", &isBarOrSliderHorizonzal},
    {nullptr, nullptr},
};

void AttibuteSelector::setAttribute(const std::string& name, eRule rule, const std::string& pattern)
{
    m_attributes[name][rule] = pattern;
}

bool AttibuteSelector::doesApply(const Widget& widget) const
{
    const AttributesMap& own = widget.getAttributes();
    for (const auto& [name, rules] : m_attributes) {
        const auto found = own.find(name);
        if (found != own.end()) {
            if (!doesMatch(tValue(found->second), rules))
                return false;
        } else if (!doesBuiltInApply(widget, name, rules)) {
            return false;
        }
    }
    return true;
}

bool AttibuteSelector::doesBuiltInApply(const Widget& widget, const std::string& name, const tRules& rules) const
{
    for (const tDescriptor* descriptor = s_Descriptors; descriptor->name; ++descriptor)
        if (name == descriptor->name)
            return doesMatch(descriptor->get(widget), rules);
    return false;
}

bool AttibuteSelector::doesMatch(const tValue& value, const tRules& rules)
{
    if (value.which() == 0)
        return false;
    for (const auto& [rule, pattern] : rules) {
        if (rule == eRuleNone)
            continue;
        if (!boost::apply_visitor(tCheckValueVisitor(rule, pattern), value))
            return false;
    }
    return true;
}

}  // namespace QV::PXT
