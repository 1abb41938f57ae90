// The accelerator table as an ordered map from key value to command id.
#pragma once

#include "UIA/AcceleratorManager.h"

#include <map>

namespace QV::UIA {

class AcceleratorManagerImplMap final : public AcceleratorManagerImpl {
public:
    void add(uint32_t key, int command) override;
    void removeAll() override;
    int getCommand(uint32_t key) const override;

private:
    std::map<uint32_t, int> m_commands;
};

}  // namespace QV::UIA
