// Test hook of the AppKit stand-in: workspace mount notifications without mounting anything. Only
// test targets reach this header (through qv_compat_test_hooks).
#pragma once

#include <string>

namespace qvcompat::appkit {

// Posts a mount (or unmount) notification for `mountPoint` as the mount monitor would, through the
// default main context: it is sent when that context is next iterated.
void postWorkspaceMountNotice(bool mounted, const std::string& mountPoint);

}  // namespace qvcompat::appkit
