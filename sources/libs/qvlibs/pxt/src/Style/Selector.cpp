#include "PXT/Selector.h"

#include "PXT/Widget.h"

namespace QV::PXT {

namespace {

// One step: id, style, class, then (when asked for) the attributes.
bool doesStepApply(const ClassSelector& step, const AttibuteSelector& attributes, const Widget& widget,
                   bool withAttributes)
{
    return step.doesIdentityApply(widget) && (!withAttributes || attributes.doesApply(widget));
}

}  // namespace

Selector::tParentSelector::tParentSelector(const std::string& className, const std::string& style,
                                           const std::string& id, bool isDirect)
    : direct(isDirect)
{
    classSelector.set(className, style, id);
}

Selector::Selector(int line, std::string file) : m_file(file), m_line(line) {}

bool Selector::hasAttributeTests() const
{
    if (!m_attributes.empty())
        return true;
    for (const tParentSelector& step : m_parents)
        if (!step.attributes.empty())
            return true;
    return false;
}

unsigned Selector::getSpecifity() const
{
    unsigned specificity = m_class.getSpecifity() + 16u * static_cast<unsigned>(m_attributes.size());
    for (const tParentSelector& step : m_parents)
        specificity += step.classSelector.getSpecifity() + 16u * static_cast<unsigned>(step.attributes.size());
    return specificity + 256u * static_cast<unsigned>(m_states.countTests());
}

bool Selector::doesClassChainApply(const Widget*& cursor, bool withAttributes) const
{
    for (const tParentSelector& step : m_parents) {
        for (;;) {
            cursor = cursor->getParent();
            if (!cursor)
                return false;
            if (doesStepApply(step.classSelector, step.attributes, *cursor, withAttributes))
                break;
            if (step.direct)
                return false;
        }
    }
    return true;
}

bool Selector::doesWidgetApply(const Widget& widget, bool withAttributes) const
{
    if (!doesStepApply(m_class, m_attributes, widget, withAttributes))
        return false;
    // A failed chain is tried again with its first step searched further up, unless that step
    // must be the direct parent.
    const Widget* start = &widget;
    for (;;) {
        const Widget* cursor = start;
        if (doesClassChainApply(cursor, withAttributes))
            return true;
        if (!cursor || m_parents.front().direct)
            return false;
        start = start->getParent();
        if (!start)
            return false;
    }
}

}  // namespace QV::PXT
