// A version of four parts, as the system information keeps the operating system's.
#pragma once

namespace qv::commons {

struct VersionNumber {
    int m_major = 0;
    int m_minor = 0;
    int m_micro = 0;
    int m_fourth = 0;
};

// True when no part is set: the version was not found.
inline bool isNull(const VersionNumber& version)
{
    return version.m_major == 0 && version.m_minor == 0 && version.m_micro == 0 && version.m_fourth == 0;
}

}  // namespace qv::commons
