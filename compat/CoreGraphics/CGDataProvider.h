// CoreGraphics stand-in: data providers over the caller's memory.
//
// Implements: CGDataProviderCreateWithData (no copy; the release callback, when given, runs when the
// last reference goes), retain and release.
// Lacks: providers over files, URLs, CFData or sequential callbacks.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <cstddef>

typedef struct __CGDataProvider* CGDataProviderRef;
typedef void (*CGDataProviderReleaseDataCallback)(void* info, const void* data, size_t size);

CFTypeID CGDataProviderGetTypeID();
// Null for null data.
CGDataProviderRef CGDataProviderCreateWithData(void* info, const void* data, size_t size,
                                               CGDataProviderReleaseDataCallback releaseData);
CGDataProviderRef CGDataProviderRetain(CGDataProviderRef provider);
void CGDataProviderRelease(CGDataProviderRef provider);
