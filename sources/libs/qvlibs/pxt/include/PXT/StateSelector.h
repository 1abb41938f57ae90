// The state tests of a selector: seven tri-state slots (0 the state must be off, 1 on, 2 any).
#pragma once

#include <array>
#include <string>

namespace QV::PXT {

class Widget;

class StateSelector {
public:
    static constexpr int kSlots = 7;
    enum eTest : int {
        eOff = 0,
        eOn = 1,
        eAny = 2
    };

    // One state: its name in the language and the widget's query.
    struct tDescriptor {
        const char* name;
        bool (*query)(const Widget&);
    };
    // enabled, selected, down, over, focus, input, dormant, in slot order.
    static const tDescriptor s_StateDescriptors[kSlots];

    // Stores the test for the state of that name; an unknown name is ignored.
    void setState(const std::string& name, bool value);
    bool doesApply(const Widget& widget) const;
    // The number of slots that test something.
    int countTests() const;
    int getSlot(int index) const { return m_slots[index]; }

private:
    std::array<int, kSlots> m_slots = {eAny, eAny, eAny, eAny, eAny, eAny, eAny};
};

}  // namespace QV::PXT
