// One complete selector: the simple selector of the selected widget (class, style, id, attribute
// tests), its ancestor steps (nearest first, each anywhere above or the direct parent of the widget
// matched before it) and its state tests, with the file and line of its rule. Selectors are ranked
// by their specificity; a lookup takes the first applicable rule in descending specificity.
#pragma once

#include "GP/Symbol.h"
#include "PXT/AttibuteSelector.h"
#include "PXT/ClassSelector.h"
#include "PXT/StateSelector.h"

#include <string>
#include <vector>

namespace QV::PXT {

class Widget;

class Selector {
public:
    // One ancestor step.
    struct tParentSelector {
        tParentSelector(const std::string& className, const std::string& style, const std::string& id, bool direct);

        ClassSelector classSelector;
        AttibuteSelector attributes;
        bool direct;  // the immediate parent of the widget matched by the step before
    };

    Selector(int line, std::string file);
    Selector(int line, qv::symbol file) : m_file(file), m_line(line) {}

    ClassSelector& classSelector() { return m_class; }
    const ClassSelector& classSelector() const { return m_class; }
    AttibuteSelector& attributes() { return m_attributes; }
    const AttibuteSelector& attributes() const { return m_attributes; }
    std::vector<tParentSelector>& parents() { return m_parents; }
    const std::vector<tParentSelector>& parents() const { return m_parents; }
    StateSelector& states() { return m_states; }
    const StateSelector& states() const { return m_states; }
    qv::symbol getFile() const { return m_file; }
    int getLine() const { return m_line; }

    // 16 per attribute name, 0x1000000 per id, 0x10000 per style, 1 per class, over the widget's
    // part and every ancestor step; 256 per state test.
    unsigned getSpecifity() const;
    // The widget's own part and the ancestor chain; attribute tests only when asked for.
    bool doesWidgetApply(const Widget& widget, bool withAttributes) const;
    // The ancestor steps from `cursor` upwards; the cursor is left where the walk stopped.
    bool doesClassChainApply(const Widget*& cursor, bool withAttributes) const;
    // Whether the widget's part or an ancestor step tests attributes.
    bool hasAttributeTests() const;
    // doesWidgetApply without attribute tests.
    bool doClassIdsApply(const Widget& widget) const { return doesWidgetApply(widget, false); }

private:
    ClassSelector m_class;
    AttibuteSelector m_attributes;
    std::vector<tParentSelector> m_parents;
    StateSelector m_states;
    qv::symbol m_file;
    int m_line;
};

}  // namespace QV::PXT
