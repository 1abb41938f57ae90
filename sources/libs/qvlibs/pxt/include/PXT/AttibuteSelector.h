// The attribute tests of one simple selector: per attribute name, at most one pattern per operator.
// A widget's own attributes are tested first; names it does not have are looked up among the
// built-in attributes (getClass, getStyle, getId, isHorizontal).
#pragma once

#include <boost/variant.hpp>

#include <map>
#include <string>

namespace QV::PXT {

class Widget;

class AttibuteSelector {
public:
    enum eRule : int {
        eRuleNone = 0,       // no test
        eRuleContains = 1,   // no text produces it; as eRuleSubstring
        eRuleEquals = 2,     // =
        eRulePrefix = 3,     // ^=
        eRuleSuffix = 4,     // $=
        eRuleSubstring = 5,  // *=
        eRuleNotEquals = 6,  // !=
    };

    // An attribute the widget does not have.
    struct tDoesntExist {};
    using tValue = boost::variant<tDoesntExist, bool, std::string>;
    using tRules = std::map<eRule, std::string>;

    // One built-in attribute: its name and how a widget answers it.
    struct tDescriptor {
        const char* name;
        tValue (*get)(const Widget&);
    };
    // The built-in attributes, ended by an entry with a null name.
    static const tDescriptor s_Descriptors[];

    // Inserts or replaces the pattern of (name, rule).
    void setAttribute(const std::string& name, eRule rule, const std::string& pattern);
    // Every test passes (no test at all passes).
    bool doesApply(const Widget& widget) const;
    bool doesBuiltInApply(const Widget& widget, const std::string& name, const tRules& rules) const;
    static bool doesMatch(const tValue& value, const tRules& rules);

    bool empty() const { return m_attributes.empty(); }
    std::size_t size() const { return m_attributes.size(); }
    const std::map<std::string, tRules>& getAttributes() const { return m_attributes; }

private:
    std::map<std::string, tRules> m_attributes;
};

}  // namespace QV::PXT
