#pragma once

#include "qvsim/model/ControllerModel.h"

#include <string>

namespace QV::SIM {

// One line for a logged request, e.g.
//   "    12.500 ms  update       21 01 0000 0000 0008  DFU_DNLOAD               8 bytes  answered"
std::string formatLoggedRequest(const tLoggedRequest& entry);

}  // namespace QV::SIM
