// The accelerator table: key values with modifier bits (KeyCodes.h) mapped to command ids. The
// application keeps one and fills it with the shortcuts of its menus; the view looks a key up in it.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

namespace QV::UIA {

// The table's storage.
class AcceleratorManagerImpl {
public:
    virtual ~AcceleratorManagerImpl() = default;
    // Stores the command for exactly this key value, replacing an earlier one.
    virtual void add(uint32_t key, int command) = 0;
    virtual void removeAll() = 0;
    // The command of the key value; without one, the command of the same key off the keypad (so a
    // shortcut for '5' answers keypad 5 too); else 0.
    virtual int getCommand(uint32_t key) const = 0;
};

class AcceleratorManager {
public:
    // An empty table.
    AcceleratorManager();
    ~AcceleratorManager();
    AcceleratorManager(const AcceleratorManager&) = delete;
    AcceleratorManager& operator=(const AcceleratorManager&) = delete;

    void add(uint32_t key, int command) { m_pImpl->add(key, command); }
    void removeAll() { m_pImpl->removeAll(); }
    int getCommand(uint32_t key) const { return m_pImpl->getCommand(key); }

private:
    std::unique_ptr<AcceleratorManagerImpl> m_pImpl;
};

}  // namespace QV::UIA
