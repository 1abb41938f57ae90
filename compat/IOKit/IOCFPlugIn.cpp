// The device user-client plug-in of the IOKit stand-in: it only remembers its service and hands
// out the USB device interface.
#include "IOKit/IOCFPlugIn.h"
#include "IOKit/usb/IOUSBLib.h"
#include "IOKit/standin/ObjectTable.h"
#include "IOKit/standin/UsbContext.h"
#include "IOKit/standin/UsbDeviceInterface.h"

#include <atomic>

using qvcompat::iokit::ObjectTable;

// Our own ids; they only need to differ from each other.
const CFUUIDRef kIOCFPlugInInterfaceID = CFUUIDGetConstantUUIDWithBytes(
    nullptr, 0x51, 0x56, 0x43, 0x46, 0x50, 0x6C, 0x75, 0x67, 0x49, 0x6E, 0x49, 0x66, 0x00, 0x00, 0x00, 0x01);
const CFUUIDRef kIOUSBDeviceUserClientTypeID = CFUUIDGetConstantUUIDWithBytes(
    nullptr, 0x51, 0x56, 0x55, 0x53, 0x42, 0x44, 0x65, 0x76, 0x55, 0x43, 0x54, 0x79, 0x00, 0x00, 0x00, 0x01);
const CFUUIDRef kIOUSBDeviceInterfaceID = CFUUIDGetConstantUUIDWithBytes(
    nullptr, 0x51, 0x56, 0x55, 0x53, 0x42, 0x44, 0x65, 0x76, 0x49, 0x6E, 0x74, 0x66, 0x00, 0x00, 0x00, 0x01);

namespace {

struct PlugIn {
    const IOCFPlugInInterface* m_table;  // first, so that IOCFPlugInInterface** points at the object
    std::atomic<ULONG> m_refs{1};
    io_service_t m_service;

    static PlugIn* from(void* self) { return static_cast<PlugIn*>(self); }
};

HRESULT queryInterface(void* self, REFIID iid, LPVOID* ppv)
{
    if (!ppv)
        return E_NOINTERFACE;
    *ppv = nullptr;
    if (!CFUUIDBytesEqual(iid, CFUUIDGetUUIDBytes(kIOUSBDeviceInterfaceID)))
        return E_NOINTERFACE;
    IOReturn error = kIOReturnSuccess;
    IOUSBDeviceInterface** device = qvcompat::iokit::createUsbDeviceInterface(PlugIn::from(self)->m_service, error);
    if (!device)
        return error;
    *ppv = device;
    return S_OK;
}

ULONG addRef(void* self) { return ++PlugIn::from(self)->m_refs; }

ULONG release(void* self)
{
    PlugIn* plugIn = PlugIn::from(self);
    const ULONG refs = --plugIn->m_refs;
    if (refs == 0) {
        IOObjectRelease(plugIn->m_service);
        delete plugIn;
    }
    return refs;
}

const IOCFPlugInInterface s_plugInTable{nullptr, queryInterface, addRef, release};

}  // namespace

kern_return_t IOCreatePlugInInterfaceForService(io_service_t service, CFUUIDRef pluginType, CFUUIDRef interfaceType,
                                                IOCFPlugInInterface*** theInterface, SInt32* theScore)
{
    if (!theInterface || !pluginType || !interfaceType)
        return kIOReturnBadArgument;
    *theInterface = nullptr;
    if (theScore)
        *theScore = 0;
    if (!CFUUIDBytesEqual(CFUUIDGetUUIDBytes(pluginType), CFUUIDGetUUIDBytes(kIOUSBDeviceUserClientTypeID)) ||
        !CFUUIDBytesEqual(CFUUIDGetUUIDBytes(interfaceType), CFUUIDGetUUIDBytes(kIOCFPlugInInterfaceID)))
        return kIOReturnUnsupported;
    {
        const qvcompat::iokit::UsbContextUse use;
        libusb_device* device = use ? ObjectTable::instance().deviceOf(service) : nullptr;
        if (!device)
            return kIOReturnNoDevice;
        libusb_unref_device(device);
    }
    if (IOObjectRetain(service) != KERN_SUCCESS)
        return kIOReturnNoDevice;
    auto* plugIn = new PlugIn{&s_plugInTable, {1}, service};
    *theInterface = reinterpret_cast<IOCFPlugInInterface**>(plugIn);
    return KERN_SUCCESS;
}

kern_return_t IODestroyPlugInInterface(IOCFPlugInInterface** interface)
{
    if (!interface)
        return kIOReturnBadArgument;
    (*interface)->Release(interface);
    return KERN_SUCCESS;
}
