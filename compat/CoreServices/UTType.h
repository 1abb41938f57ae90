// CoreServices stand-in: uniform type identifiers (LaunchServices' UTType.h).
//
// Implements: the identifiers the program exchanges data with (text in UTF-16 and UTF-8, file URLs)
// and their ancestors, and UTTypeConformsTo over the fixed conformance table of these types.
// Lacks: the type database: types declared by bundles, tags (extensions, MIME types), descriptions,
// dynamic types.
// Deviations: a type outside the table conforms only to itself (compared ignoring ASCII case, as
// identifiers are).
#pragma once

#include <CoreFoundation/CoreFoundation.h>

// Made by a static initialiser; they live for the whole process. Static initialisers of other files
// must not use them (their order is not defined).
extern const CFStringRef kUTTypeItem;            // "public.item"
extern const CFStringRef kUTTypeData;            // "public.data"
extern const CFStringRef kUTTypeText;            // "public.text"
extern const CFStringRef kUTTypePlainText;       // "public.plain-text"
extern const CFStringRef kUTTypeUTF8PlainText;   // "public.utf8-plain-text"
extern const CFStringRef kUTTypeUTF16PlainText;  // "public.utf16-plain-text"
extern const CFStringRef kUTTypeURL;             // "public.url"
extern const CFStringRef kUTTypeFileURL;         // "public.file-url"

// True when `type` is `conformsTo` or one of its ancestors in the table; false for null.
Boolean UTTypeConformsTo(CFStringRef type, CFStringRef conformsTo);
