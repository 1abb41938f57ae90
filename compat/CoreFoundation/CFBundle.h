// CFBundle stand-in: application bundles as folders laid out like X.app/Contents/MacOS/<executable>.
//
// Implements: CFBundleCreate, CFBundleGetMainBundle, CFBundleCopyBundleURL, CFBundleGetTypeID.
// Lacks: Info.plist (not read yet, so no identifier, version or localizations), resources,
// executables and plug-in loading.
// Deviations: CFBundleCreate makes a new object on every call instead of sharing one per folder.
// The main bundle comes from /proc/self/exe, which names the executable with symbolic links resolved:
// a bundle's Contents/MacOS must hold the executable itself (a copy or a hard link), not a link to it.
#pragma once

// Before the include: CoreFoundation.h includes this header and CFURL.h at its end, in either order.
typedef const struct __CFURL* CFURLRef;
typedef struct __CFBundle* CFBundleRef;

#include "CoreFoundation/CoreFoundation.h"

CFTypeID CFBundleGetTypeID();

// A bundle for the folder at `bundleURL`; null when the URL does not name an existing folder.
CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);

// The bundle of the running program (owned by the stand-in, never released): X.app when the
// executable lies in X.app/Contents/MacOS, else the folder that holds the executable, as on the
// platform for a tool outside any bundle. Null only when the executable cannot be found.
CFBundleRef CFBundleGetMainBundle();

// The bundle's folder, retained for the caller.
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
