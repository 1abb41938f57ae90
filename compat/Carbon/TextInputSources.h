// Carbon stand-in: the current keyboard input source and its key layout.
//
// Implements: TISCopyCurrentKeyboardInputSource, a snapshot of the X server's keyboard mapping as
// GDK reads it (the active group, levels 1 to 4 of every key of the virtual key table,
// VirtualKeyCodes.h), taken when called; TISGetInputSourceProperty for
// kTISPropertyUnicodeKeyLayoutData (a CFData holding a UCKeyboardLayout, UnicodeUtilities.h) and
// kTISPropertyInputSourceID ("org.x.xkb.group<n>"); LMGetKbdType.
// Lacks: the list of input sources, selecting one, change notifications, every other property.
// Deviations: needs the display that AppKit opens (NSApplication, NSScreen, ...): without one there is
// no current source (null). A snapshot does not follow later changes of the mapping; copy the
// current source again to see them.
#pragma once

#include <CoreFoundation/CFData.h>
#include <CoreFoundation/CoreFoundation.h>

#include <cstdint>

typedef struct __TISInputSource* TISInputSourceRef;

extern const CFStringRef kTISPropertyUnicodeKeyLayoutData;
extern const CFStringRef kTISPropertyInputSourceID;

CFTypeID TISInputSourceGetTypeID();
// The current keyboard source, owned by the caller (CFRelease); null without a display.
TISInputSourceRef TISCopyCurrentKeyboardInputSource();
// The property's value, owned by the source (not retained); null for an unknown key.
void* TISGetInputSourceProperty(TISInputSourceRef source, CFStringRef propertyKey);

// The keyboard type: always 40 (an ANSI keyboard); the stand-in's layouts do not depend on it.
uint8_t LMGetKbdType();
