// CFBundle stand-in: application bundles as folders laid out like X.app/Contents/MacOS/<executable>.
//
// Implements: CFBundleCreate, CFBundleGetMainBundle, CFBundleCopyBundleURL, CFBundleCopyExecutableURL,
// CFBundleGetTypeID,
// CFBundleGetValueForInfoDictionaryKey and CFBundleGetIdentifier over the bundle's Info.plist
// (Contents/Info.plist, else Info.plist in the bundle's folder; XML or binary, read with libplist
// once, on the first question).
// Lacks: localized Info.plist values (InfoPlist.strings), resources, and loading executables and
// plug-ins.
// Deviations: Info.plist values of the types the stand-in has are answered: strings (CFString),
// integers (CFNumber, kCFNumberSInt64Type), data (CFData), arrays (CFArray) and dictionaries
// (CFDictionary with CFString keys); booleans, reals and dates are absent (null), also inside arrays
// and dictionaries. A missing or unreadable Info.plist is an empty one. CFBundleCreate makes a new object on every call instead of sharing one per folder.
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

// The bundle's executable, retained for the caller: for the main bundle the running program's file
// (also without an Info.plist), for another bundle Contents/MacOS/<CFBundleExecutable> when that
// file exists; null otherwise.
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);

// The value of `key` in the bundle's Info.plist, owned by the bundle (not retained for the caller);
// null when the bundle, the key or the value is absent, or the value's type has no stand-in.
CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);

// The bundle's CFBundleIdentifier when it is a string, owned by the bundle; null otherwise.
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
