#include "Keys/AcceleratorManagerImplMap.h"

#include "UIA/KeyCodes.h"

namespace QV::UIA {

void AcceleratorManagerImplMap::add(uint32_t key, int command) { m_commands[key] = command; }

void AcceleratorManagerImplMap::removeAll() { m_commands.clear(); }

int AcceleratorManagerImplMap::getCommand(uint32_t key) const
{
    auto found = m_commands.find(key);
    if (found == m_commands.end())
        found = m_commands.find(key & ~uint32_t(eKeyFlagKeypad));
    return found != m_commands.end() ? found->second : 0;
}

}  // namespace QV::UIA
