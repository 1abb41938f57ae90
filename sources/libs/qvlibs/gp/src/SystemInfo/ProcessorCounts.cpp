#include "SystemInfo/ProcessorCounts.h"

#include <algorithm>

namespace QV::GP::DETAIL {

tProcessorCounts reconcileProcessorCounts(int rawLogical, int rawPhysical, int rawPacks,
                                          const tHostProcessorCounts& host, unsigned cpuidCoresPerPackage)
{
    tProcessorCounts counts;
    counts.fromRawFacts = rawPacks >= 1 && rawPhysical >= rawPacks && rawLogical >= rawPhysical;
    if (counts.fromRawFacts) {
        counts.units = static_cast<unsigned>(rawLogical);
        counts.cores = static_cast<unsigned>(rawPhysical);
        counts.packages = static_cast<unsigned>(rawPacks);
    } else {
        counts.units = std::max(host.logical, 1u);
        counts.cores = std::clamp(host.physical, 1u, counts.units);
        // A guest often sees the host chip's cores per package through the processor while it has
        // fewer cores itself: it still has one package.
        counts.packages = std::max(counts.cores / std::max(cpuidCoresPerPackage, 1u), 1u);
    }
    counts.coresPerPackage = counts.cores / counts.packages;
    counts.unitsPerCore = counts.units / counts.cores;
    return counts;
}

}  // namespace QV::GP::DETAIL
