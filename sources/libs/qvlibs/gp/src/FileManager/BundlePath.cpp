#include "GP/DSOHandle.h"
#include "GP/FileManager.h"

#include <CoreFoundation/CoreFoundation.h>

#include <climits>

namespace QV::GP {

namespace {

// The POSIX path of the bundle's folder, byte for byte; empty outside a bundle.
std::filesystem::path bundlePath()
{
    auto bundle = static_cast<CFBundleRef>(getCurrentDSOHandle());
    if (!bundle)
        return {};
    CFURLRef url = CFBundleCopyBundleURL(bundle);
    if (!url)
        return {};
    UInt8 buffer[PATH_MAX];
    const bool ok = CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer);
    CFRelease(url);
    return ok ? std::filesystem::path(reinterpret_cast<const char*>(buffer)) : std::filesystem::path();
}

}  // namespace

const std::filesystem::path& getCurrentBundlePath()
{
    // Made once; concurrent first callers wait for it. The bundle handle stays with DSOHandle.
    static const std::filesystem::path s_path = bundlePath();
    return s_path;
}

}  // namespace QV::GP
