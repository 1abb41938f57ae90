#include "UIA/AcceleratorManager.h"

#include "Keys/AcceleratorManagerImplMap.h"

namespace QV::UIA {

AcceleratorManager::AcceleratorManager() : m_pImpl(std::make_unique<AcceleratorManagerImplMap>()) {}

AcceleratorManager::~AcceleratorManager() = default;

}  // namespace QV::UIA
