// IOKit USB stand-in over libusb-1.0: the USB device interface.
//
// Implements: the device user-client plug-in and its device interface (vendor, product and
// release number from the cached device descriptor; the first configuration descriptor, read
// from the device and cached when the interface is created; control requests on the default
// pipe). Creating the interface opens the libusb device; releasing the last reference closes it.
// Deviations, each for Linux usbfs or for safety:
// - DeviceRequest never waits forever: every request uses a finite time-out (5 s) and reports
//   kIOReturnTimeout when it expires.
// - A class or vendor request addressed to an interface claims that interface first, as usbfs
//   requires; a claim that fails is left to the request to report.
// - Errors are translated once, from libusb codes to IOReturn codes (see UsbErrors.cpp).
#pragma once

#include "IOKit/IOCFPlugIn.h"

struct IOUSBDevRequest {
    UInt8 bmRequestType;
    UInt8 bRequest;
    UInt16 wValue;
    UInt16 wIndex;
    UInt16 wLength;
    void* pData;
    UInt32 wLenDone;
};

#pragma pack(push, 1)
struct IOUSBConfigurationDescriptor {
    UInt8 bLength;
    UInt8 bDescriptorType;
    UInt16 wTotalLength;  // little endian, as on the wire
    UInt8 bNumInterfaces;
    UInt8 bConfigurationValue;
    UInt8 iConfiguration;
    UInt8 bmAttributes;
    UInt8 MaxPower;
};
#pragma pack(pop)
typedef IOUSBConfigurationDescriptor* IOUSBConfigurationDescriptorPtr;

inline UInt16 USBToHostWord(UInt16 value) { return value; }  // x86 and ARM Linux are little endian

struct IOUSBDeviceInterface {
    QV_IUNKNOWN_C_GUTS;
    IOReturn (*GetDeviceVendor)(void* self, UInt16* vendor);
    IOReturn (*GetDeviceProduct)(void* self, UInt16* product);
    IOReturn (*GetDeviceReleaseNumber)(void* self, UInt16* release);
    // The configuration descriptor at `configIndex`, owned by the interface and valid while the
    // interface lives.
    IOReturn (*GetConfigurationDescriptorPtr)(void* self, UInt8 configIndex, IOUSBConfigurationDescriptorPtr* desc);
    // One control transfer on the default pipe; blocks until it ends or times out. On success
    // wLenDone holds the bytes moved.
    IOReturn (*DeviceRequest)(void* self, IOUSBDevRequest* request);
};

extern const CFUUIDRef kIOUSBDeviceUserClientTypeID;
extern const CFUUIDRef kIOUSBDeviceInterfaceID;
