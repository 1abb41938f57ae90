// The raw facts behind SystemInfo, read on first need: the kernel's processor counts and processor
// description (/proc/cpuinfo and the CPU topology in /sys), the operating system's version
// (os-release, else the kernel release) and the machine's instruction set.
#pragma once

#include "GP/VersionNumber.h"

#include <functional>
#include <string>

namespace QV::GP {

class SystemInfo2 {
public:
    // Reads the processor facts and marks them read (s_calledRetrieveCPUInfo). A count the
    // kernel does not report is 0.
    static void retrieveCPUInfo();
    // Reads the OS version (zeros when neither os-release nor the kernel release has one) and the
    // instruction-set flag.
    static void retrieveOSInfo();

    static bool s_calledRetrieveCPUInfo;
    static int s_numPhysicalCores;   // distinct cores among the online processors
    static int s_numLogicalCores;    // online processors
    static int s_numProcessorPacks;  // physical cores / cores per package; 1 when the latter is unknown
    static std::string s_processorName;
    static int s_processorSpeed;  // MHz: the highest frequency, else the current one; 0 when unknown
    static qv::commons::VersionNumber s_osVersion;
    static int s_osTargetISA;  // eTargetISA

    enum eTargetISA : int {
        eISAOther = 0,
        eISAx86_64 = 2,
    };

    // What uname() tells.
    struct tUname {
        std::string nodeName;
        std::string release;
        std::string machine;
    };

    // Where the facts come from. Tests lay out a machine in a folder and answer uname and the
    // environment themselves.
    struct tSources {
        std::string root;                                     // holds proc/, sys/, etc/ and usr/lib/
        std::function<bool(tUname& answer)> uname;            // false when it fails
        std::function<const char*(const char* name)> getenv;  // null for a variable not set
    };
    // This machine: "/", the system's uname() and the process environment.
    static tSources systemSources();
    static const tSources& sources();
    // Replaces the sources and forgets the facts read so far, so they are read again from the new
    // ones on next need. Returns the sources that were in place.
    static tSources setSources(tSources sources);
};

}  // namespace QV::GP
