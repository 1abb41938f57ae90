// CFURL stand-in: file URLs made from and read back as POSIX paths.
//
// Implements: CFURLCreateFromFileSystemRepresentation, CFURLCreateWithFileSystemPath (POSIX style),
// CFURLGetFileSystemRepresentation,
// CFURLGetTypeID; CFURLCreateWithString and CFURLGetString for URLs of any scheme.
// Lacks: base URLs for URL strings, resolving relative references, path components, bookmark data.
// Deviations: a relative path is resolved against the current directory at creation (the platform
// keeps the directory as a base URL and resolves on demand, with the same result); paths are kept as
// given, without "." or ".." removed. A trailing '/' is not part of the file-system representation,
// as on the platform.
#pragma once

// Before the include: CoreFoundation.h includes this header and CFBundle.h at its end.
typedef const struct __CFURL* CFURLRef;

#include "CoreFoundation/CoreFoundation.h"

CFTypeID CFURLGetTypeID();

// A file URL for `length` bytes of POSIX path (not NUL-terminated, need not be). Null for an empty path.
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef allocator, const UInt8* buffer, CFIndex length,
                                                 Boolean isDirectory);

typedef CFIndex CFURLPathStyle;
constexpr CFURLPathStyle kCFURLPOSIXPathStyle = 0;

// A file URL for the path text, as CFURLCreateFromFileSystemRepresentation with its UTF-8 bytes.
// Null for a null or empty path and for any style but kCFURLPOSIXPathStyle.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory);

// Writes the NUL-terminated path into `buffer`; false when it does not fit in `maxBufLen` bytes.
// With resolveAgainstBase false, a URL made from a relative path gives that relative path back.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer, CFIndex maxBufLen);

// A URL made from its text (RFC 3986 characters only: unreserved, reserved and '%' followed by two
// hexadecimal digits); null for null, empty or malformed text. `baseURL` must be null (relative
// references are kept as given). A "file" URL made here has no file-system representation.
CFURLRef CFURLCreateWithString(CFAllocatorRef allocator, CFStringRef URLString, CFURLRef baseURL);

// The URL's text, owned by the URL: as given to CFURLCreateWithString, "file://" and the
// percent-escaped path for a file URL.
CFStringRef CFURLGetString(CFURLRef url);
