// Resource manager stand-in: a bundle's resources served from files inside the bundle, found by
// four-character type and id or name, as the platform's resource map finds them in its resource files.
//
// Where the resources live: Contents/Resources/<type>/ in the bundle, the folder named by the type's
// four characters ('TTFd' -> "TTFd", 'PICT' -> "PICT"; a type with a character outside printable
// ASCII, or a '/', has no folder). In it, a resource is one regular file:
//   - by id: the file named by the decimal id ("128", "-5"), or that name followed by '.' and an
//     extension without further '.' ("128.ttf");
//   - by name (1 to 255 bytes, UTF-8): the file named exactly that, or that name followed by '.' and
//     an extension. A '/' in the name reaches into sub-folders ("sub/a.png"); empty, "." and ".."
//     components are never found.
// An exact name wins over one with an extension; among several extensions, the first in byte order.
// So TTFd 128 is Contents/Resources/TTFd/128.ttf and the picture named "logo.png" is
// Contents/Resources/PICT/logo.png.
//
// Implements: CFBundleOpenBundleResourceMap, CFBundleCloseBundleResourceMap, CloseResFile,
// Get1Resource, Get1NamedResource, DetachResource, ResError.
// Lacks: resource files in resource forks, writing, the resource chain beyond the current map
// (only Get1... lookups), attributes, ReleaseResource and every other call.
// An empty file is a resource without data: its handle is empty (the master pointer is null).
// Deviations: a resource file is read whole when it is got, and larger ones than 256 MiB are refused
// (memFullErr). Resource handles that were not detached are freed when their map closes, as on the
// platform. The maps and the current map are process-wide and guarded by a lock.
#pragma once

#include "CoreServices/MacMemory.h"
#include "CoreServices/MacTypes.h"

typedef SInt16 ResID;
typedef SInt16 ResFileRefNum;
typedef ResFileRefNum CFBundleRefNum;

constexpr OSErr resNotFound = -192;
constexpr OSErr resFNotFound = -193;

// Opens the map of the bundle's resources (its Contents/Resources folder) and makes it the current
// map. -1 when the bundle is null or has no resources folder (ResError: resFNotFound).
CFBundleRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle);
// Closes a map opened for the bundle (the same as CloseResFile).
void CFBundleCloseBundleResourceMap(CFBundleRef bundle, CFBundleRefNum refNum);
// Closes the map, freeing its resources that were not detached; the map opened before it that is
// still open becomes current. An unknown number sets ResError to resFNotFound.
void CloseResFile(ResFileRefNum refNum);

// The resource of the current map: the same handle for the same resource while it stays attached.
// Null when there is no current map or no such resource (ResError: resNotFound), or it cannot be read.
Handle Get1Resource(ResType type, ResID id);
// By name, a Pascal string (length byte, then the bytes).
Handle Get1NamedResource(ResType type, ConstStr255Param name);
// Detaches the resource from its map: the handle becomes the caller's, to free with DisposeHandle.
// ResError: resNotFound for a handle that is no attached resource.
void DetachResource(Handle resource);

// The result of the last resource manager call.
OSErr ResError();
