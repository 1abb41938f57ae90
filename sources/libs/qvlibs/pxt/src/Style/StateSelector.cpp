#include "PXT/StateSelector.h"

#include "PXT/Widget.h"

namespace QV::PXT {

const StateSelector::tDescriptor StateSelector::s_StateDescriptors[kSlots] = {
    {"enabled", [](const Widget& w) { return w.isEnabled(); }},
    {"selected", [](const Widget& w) { return w.isSelected(); }},
    {"down", [](const Widget& w) { return w.isDown(); }},
    {"over", [](const Widget& w) { return w.isOver(); }},
    {"focus", [](const Widget& w) { return w.isFocus(); }},
    {"input", [](const Widget& w) { return w.isInput(); }},
    {"dormant", [](const Widget& w) { return w.isDormant(); }},
};

void StateSelector::setState(const std::string& name, bool value)
{
    for (int i = 0; i < kSlots; ++i)
        if (name == s_StateDescriptors[i].name) {
            m_slots[i] = value ? eOn : eOff;
            return;
        }
}

bool StateSelector::doesApply(const Widget& widget) const
{
    for (int i = 0; i < kSlots; ++i)
        if (m_slots[i] != eAny && s_StateDescriptors[i].query(widget) != (m_slots[i] == eOn))
            return false;
    return true;
}

int StateSelector::countTests() const
{
    int count = 0;
    for (const int slot : m_slots)
        count += slot != eAny ? 1 : 0;
    return count;
}

}  // namespace QV::PXT
