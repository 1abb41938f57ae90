// Watches the process's mount table through GIO and reports the mount points that come and go.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qvcompat::appkit::detail {

// The mount points of the mount table in its order, each once (GIO's reading of it).
std::vector<std::string> currentMountPoints();

// The mount points of `after` missing from `before` (added) and those of `before` missing from
// `after` (removed), each in its list's order.
void diffMountPoints(const std::vector<std::string>& before, const std::vector<std::string>& after,
                     std::vector<std::string>& added, std::vector<std::string>& removed);

// Starts watching (once per process): from now on, every change of the mount table calls `changed`
// on the default main context, once per removed mount point (mounted false), then once per added one.
void startMountMonitor(std::function<void(bool mounted, const std::string& mountPoint)> changed);

}  // namespace qvcompat::appkit::detail
