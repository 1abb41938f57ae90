// The classic Mac OS types that the Memory Manager and the resource manager stand-ins use.
#pragma once

#include "CoreFoundation/CoreFoundation.h"

typedef int8_t SInt8;
typedef SInt16 OSErr;
typedef long Size;
typedef char* Ptr;
typedef Ptr* Handle;
typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef unsigned char Str255[256];
typedef const unsigned char* ConstStr255Param;

constexpr OSErr noErr = 0;
constexpr OSErr ioErr = -36;
constexpr OSErr fnfErr = -43;
constexpr OSErr paramErr = -50;
constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
