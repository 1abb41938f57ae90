// The driver's update: one whole firmware update of the connected controller, phase by phase,
// as the wizard performs it.
#pragma once

#include <chrono>
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
    eUpdateNoAccess = 6,  // a controller is connected, but this user may not open it
};

// The line that says so, for the update and the probe alike.
extern const char* const kNoAccessLine;

// How long the driver waits for the worker's result: far beyond the longest update that the
// library's own bounds allow (every request times out, every poll and manifestation wait is
// bounded), so only a worker that hangs reaches it.
constexpr std::chrono::minutes kResultDeadline{30};

// Connects, decides, resets, flashes, polls and verifies; writes one line per phase to `out`.
// A worker without a result by `resultDeadline` is asked to stop, and the update has failed.
eUpdateOutcome update(VDXUpdaterUpgradeLogic& logic, std::ostream& out,
                      std::chrono::steady_clock::duration resultDeadline = kResultDeadline);

}  // namespace QV::Driver
