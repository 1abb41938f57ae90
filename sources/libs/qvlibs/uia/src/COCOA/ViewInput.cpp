#include "COCOA/ViewInput.h"

#include "UIA/KeyCodes.h"

#include <cmath>
#include <string>
#include <unordered_map>

namespace QV::UIA::COCOA::ViewInput {

tButton press(eMouseButton pressed, long clickCount, eMouseButton lastPressed, uint32_t modifiers)
{
    tButton event{pressed, eMouseButtonDown, modifiers};
    if (pressed == lastPressed && clickCount % 2 == 0)
        event.state = eMouseButtonDoubleClick;
    if (pressed == eMouseButtonLeft && (modifiers & eModifierControl)) {
        event.button = eMouseButtonRight;
        event.modifiers &= ~uint32_t(eModifierControl);
    }
    return event;
}

tButton release(eMouseButton physical, eMouseButton pressReported, uint32_t modifiers)
{
    tButton event{physical, eMouseButtonUp, modifiers};
    if (physical == eMouseButtonLeft && pressReported == eMouseButtonRight) {
        event.button = eMouseButtonRight;
        event.modifiers &= ~uint32_t(eModifierControl);
    }
    return event;
}

int ScrollAccumulator::take(double delta)
{
    // A change of direction drops what was left over from the other one.
    if ((delta > 0 && m_remainder < 0) || (delta < 0 && m_remainder > 0))
        m_remainder = 0;
    m_remainder += delta;
    const double whole = std::trunc(m_remainder);
    m_remainder -= whole;
    return static_cast<int>(whole);
}

std::optional<tKeyCommand> keyCommandFor(const char* selectorName)
{
    // Built on first use; the selection-extending form of each movement replaces the final ':'.
    static const std::unordered_map<std::string, tKeyCommand> s_table = [] {
        const struct {
            const char* name;
            eKeyCommand command;
            bool extends;
        } commands[] = {
            {"moveLeft", eKeyCommandMoveLeft, true},
            {"moveRight", eKeyCommandMoveRight, true},
            {"moveUp", eKeyCommandMoveUp, true},
            {"moveDown", eKeyCommandMoveDown, true},
            {"moveToLeftEndOfLine", eKeyCommandMoveToLineStart, true},
            {"moveToRightEndOfLine", eKeyCommandMoveToLineEnd, true},
            {"deleteForward", eKeyCommandDeleteForward, false},
            {"deleteBackward", eKeyCommandDeleteBackward, false},
        };
        std::unordered_map<std::string, tKeyCommand> table;
        for (const auto& entry : commands) {
            table.emplace(std::string(entry.name) + ":", tKeyCommand{entry.command, false});
            if (entry.extends)
                table.emplace(std::string(entry.name) + "AndModifySelection:", tKeyCommand{entry.command, true});
        }
        return table;
    }();
    if (!selectorName)
        return std::nullopt;
    const auto found = s_table.find(selectorName);
    if (found == s_table.end())
        return std::nullopt;
    return found->second;
}

}  // namespace QV::UIA::COCOA::ViewInput
