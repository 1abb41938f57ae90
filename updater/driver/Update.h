// The driver's update: one whole firmware update of the connected controller, phase by phase,
// as the wizard performs it.
#pragma once

#include <ostream>

namespace QV {
class VDXUpdaterUpgradeLogic;
}

namespace QV::Driver {

enum eUpdateOutcome : int {
    eUpdateVerified = 0,
    eUpdateNoController = 1,
    eUpdateNotNeeded = 3,
    eUpdateNoUpdateMode = 4,
    eUpdateFailed = 5,
};

// Connects, decides, resets, flashes, polls and verifies; writes one line per phase to `out`.
eUpdateOutcome update(VDXUpdaterUpgradeLogic& logic, std::ostream& out);

}  // namespace QV::Driver
