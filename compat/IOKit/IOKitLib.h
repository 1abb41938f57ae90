// IOKit stand-in over libusb-1.0: service matching, notifications and registry properties.
//
// Implements: the master port; matching dictionaries for the classes "IOUSBDevice" (every USB
// device libusb lists) and "IOHIDDevice" (USB devices with a HID interface); first-match and
// terminate notifications; iterators; reference counting of services; registry properties of a
// HID service (VendorID, ProductID, VersionNumber, Manufacturer, Product, SerialNumber, read from
// the USB device) and of a USB device (idVendor, idProduct, bcdDevice); IOServiceOpen/IOConnectCallMethod, which answer "unsupported" (no kernel driver
// of ours exists on Linux to talk to).
// Services are ids in a table that maps to libusb devices; a device that re-enumerates is a new
// libusb device and so a new service id. Ids are never reused within a process.
// Deviations: a first-match notification's iterator holds the devices present when the scan is
// registered; devices that arrive or leave later are not reported (the notification port's
// run-loop source never fires), which is all the program needs: it registers a scan, drains the
// iterator and ends the scan inside one call.
#pragma once

#include "CoreFoundation/CoreFoundation.h"
#include "IOKit/IOReturn.h"

#include <cstddef>

typedef mach_port_t io_object_t;
typedef io_object_t io_service_t;
typedef io_object_t io_iterator_t;
typedef io_object_t io_connect_t;
typedef char io_name_t[128];
typedef UInt32 IOOptionBits;
typedef struct IONotificationPort* IONotificationPortRef;
typedef void (*IOServiceMatchingCallback)(void* refcon, io_iterator_t iterator);

extern const mach_port_t kIOMasterPortDefault;

#define kIOFirstMatchNotification "IOServiceFirstMatch"
#define kIOTerminatedNotification "IOServiceTerminate"
#define kIOProviderClassKey "IOProviderClass"

// The master port: always available.
kern_return_t IOMasterPort(mach_port_t bootstrapPort, mach_port_t* masterPort);

// A matching dictionary {IOProviderClass: className} with one reference; null for a null name.
CFMutableDictionaryRef IOServiceMatching(const char* className);

IONotificationPortRef IONotificationPortCreate(mach_port_t masterPort);
void IONotificationPortDestroy(IONotificationPortRef port);
// The port's run-loop source, owned by the port (valid until the port is destroyed).
CFRunLoopSourceRef IONotificationPortGetRunLoopSource(IONotificationPortRef port);

// Registers a notification; consumes one reference of `matching`. The iterator must be drained
// by the caller to arm it: a first-match iterator yields the matching services present now, a
// terminate iterator yields nothing. Does not block beyond one look at the bus.
kern_return_t IOServiceAddMatchingNotification(IONotificationPortRef port, const char* notificationType,
                                               CFDictionaryRef matching, IOServiceMatchingCallback callback,
                                               void* refcon, io_iterator_t* iterator);

// The next object of an iterator with one reference for the caller, or 0 at its end.
io_object_t IOIteratorNext(io_iterator_t iterator);

kern_return_t IOObjectRetain(io_object_t object);
kern_return_t IOObjectRelease(io_object_t object);

// The registry properties of a service as a new dictionary (one reference for the caller).
kern_return_t IORegistryEntryCreateCFProperties(io_service_t service, CFMutableDictionaryRef* properties,
                                                CFAllocatorRef allocator, IOOptionBits options);

// The property names of a USB device's numbers.
#define kUSBVendorID "idVendor"
#define kUSBProductID "idProduct"
#define kUSBDeviceReleaseNumber "bcdDevice"

// One registry property of a service (one reference for the caller), or null. A USB device has
// kUSBVendorID, kUSBProductID and kUSBDeviceReleaseNumber, read without opening it.
CFTypeRef IORegistryEntryCreateCFProperty(io_service_t service, CFStringRef key, CFAllocatorRef allocator,
                                          IOOptionBits options);

// User clients of kernel drivers: none exist here. IOServiceOpen answers kIOReturnUnsupported.
kern_return_t IOServiceOpen(io_service_t service, task_port_t owningTask, UInt32 type, io_connect_t* connect);
kern_return_t IOServiceClose(io_connect_t connect);
kern_return_t IOConnectCallMethod(io_connect_t connection, UInt32 selector, const UInt64* input, UInt32 inputCount,
                                  const void* inputStruct, size_t inputStructCount, UInt64* output, UInt32* outputCount,
                                  void* outputStruct, size_t* outputStructCount);
