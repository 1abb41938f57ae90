// The kernel's processor counts, read in two independent ways so that one can stand in when the
// other contradicts itself (virtual machines often report a topology that does not add up).
#pragma once

#include <string>

namespace QV::GP::DETAIL {

// The online processors as the CPU topology in /sys describes them, with the identity and the
// per-package core count of /proc/cpuinfo. Each count is 0 when the kernel does not report it.
struct tRawProcessorFacts {
    int logical = 0;          // processors in /sys/devices/system/cpu/online
    int physical = 0;         // distinct cores among them (their core_cpus_list); 0 when one is missing
    int coresPerPackage = 0;  // "cpu cores" of the first processor in /proc/cpuinfo
    std::string brand;        // its "model name"
    int speedMHz = 0;         // the first online processor's cpuinfo_max_freq, else "cpu MHz"
};
tRawProcessorFacts readRawProcessorFacts(const std::string& root);

// The processors /proc/cpuinfo lists and their distinct ("physical id", "core id") pairs. When it
// lists none, the online processors of /sys, else 1; without core ids every processor counts as a
// core. Both counts are at least 1 and physical never exceeds logical.
struct tHostProcessorCounts {
    unsigned logical = 1;
    unsigned physical = 1;
};
tHostProcessorCounts readHostProcessorCounts(const std::string& root);

}  // namespace QV::GP::DETAIL
