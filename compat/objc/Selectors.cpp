// Selectors: one unique record per name.
//
// Implements: sel_registerName, sel_getUid, sel_getName, sel_isEqual.
// Lacks: nothing the program calls.
// Deviations: none known; selectors live until exit, as on the platform.
#include "objc/RuntimeInternal.h"

#include <mutex>
#include <string_view>

namespace {

class SelectorTable {
public:
    static SelectorTable& instance()
    {
        // Never destroyed: selectors are used by static destructors too.
        static SelectorTable* s_table = new SelectorTable;
        return *s_table;
    }

    SEL intern(std::string_view name)
    {
        {
            std::shared_lock lock(m_lock);
            auto it = m_selectors.find(name);
            if (it != m_selectors.end())
                return it->second;
        }
        std::unique_lock lock(m_lock);
        auto it = m_selectors.find(name);
        if (it != m_selectors.end())
            return it->second;
        auto* selector = new objc_selector{std::string(name)};
        m_selectors.emplace(selector->name, selector);  // the key views the selector's own text
        return selector;
    }

private:
    std::shared_mutex m_lock;
    std::unordered_map<std::string_view, SEL> m_selectors;
};

}  // namespace

SEL sel_registerName(const char* name) { return name ? SelectorTable::instance().intern(name) : nullptr; }

SEL sel_getUid(const char* name) { return sel_registerName(name); }

const char* sel_getName(SEL sel) { return sel ? sel->name.c_str() : "<null selector>"; }

BOOL sel_isEqual(SEL a, SEL b) { return a == b ? YES : NO; }
