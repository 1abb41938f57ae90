// IOKit plug-in stand-in: the COM-style interfaces through which the program reaches a device.
// A plug-in interface is created for a service and type, asked for the interface it wants with
// QueryInterface, then released; interfaces are reference counted through their Release slot.
#pragma once

#include "IOKit/IOKitLib.h"

// Every interface table begins with these slots, as on the platform.
#define QV_IUNKNOWN_C_GUTS                                                                                             \
    void* _reserved;                                                                                                   \
    HRESULT (*QueryInterface)(void* thisPointer, REFIID iid, LPVOID* ppv);                                             \
    ULONG (*AddRef)(void* thisPointer);                                                                                \
    ULONG (*Release)(void* thisPointer)

struct IOCFPlugInInterface {
    QV_IUNKNOWN_C_GUTS;
};

extern const CFUUIDRef kIOCFPlugInInterfaceID;

// Creates the plug-in for a service: `pluginType` names the user client (the USB device's);
// `interfaceType` must be kIOCFPlugInInterfaceID. kIOReturnUnsupported for an unknown type,
// kIOReturnNoDevice when the service is not a present USB device. The score is always 0.
kern_return_t IOCreatePlugInInterfaceForService(io_service_t service, CFUUIDRef pluginType, CFUUIDRef interfaceType,
                                                IOCFPlugInInterface*** theInterface, SInt32* theScore);
// Releases a plug-in interface (the same as its Release slot).
kern_return_t IODestroyPlugInInterface(IOCFPlugInInterface** interface);
