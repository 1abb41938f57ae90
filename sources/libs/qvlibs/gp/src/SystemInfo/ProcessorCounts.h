// Chooses the processor counts the system information reports from the kernel's two views.
#pragma once

#include "SystemInfo/ProcessorSources.h"

namespace QV::GP::DETAIL {

struct tProcessorCounts {
    unsigned units = 1;
    unsigned cores = 1;
    unsigned packages = 1;
    unsigned coresPerPackage = 1;
    unsigned unitsPerCore = 1;
    bool fromRawFacts = false;  // the raw facts were consistent and were used
};

// The raw counts are used when they are consistent: at least one package, at least as many cores
// as packages, at least as many logical processors as cores. Otherwise (a count the kernel did not
// report, or a virtual machine whose per-package core count exceeds its cores) the host's counts
// are used and split into packages by the processor's own cores per package. Every count is at
// least 1, so no division by zero; the per-package and per-core figures are the quotients of the
// chosen counts, so they agree with them.
tProcessorCounts reconcileProcessorCounts(int rawLogical, int rawPhysical, int rawPacks,
                                          const tHostProcessorCounts& host, unsigned cpuidCoresPerPackage);

}  // namespace QV::GP::DETAIL
