#include "qvsim/bus/FileAccess.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace QV::SIM {

namespace {

constexpr unsigned kWord = CAP_DAC_OVERRIDE / 32;
constexpr unsigned kBit = 1u << (CAP_DAC_OVERRIDE % 32);

}  // namespace

bool setFileAccessOverride(bool allowed)
{
    // The raw calls act on the calling thread (pid 0), which is the point here.
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    if ((data[kWord].permitted & kBit) == 0)
        return !allowed;  // never had it
    if (allowed)
        data[kWord].effective |= kBit;
    else
        data[kWord].effective &= ~kBit;
    return syscall(SYS_capset, &header, data) == 0;
}

bool dropFileAccessOverrideForChildren()
{
    if (prctl(PR_CAPBSET_READ, CAP_DAC_OVERRIDE, 0, 0, 0) != 1)
        return true;  // not in the bounding set: no child can have it
    return prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0;
}

}  // namespace QV::SIM
