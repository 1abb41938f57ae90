#include "iokit/USBDeviceFactoryOSImpl.h"

#include "iokit/FX2Device.h"
#include "iokit/HIDDevice.h"
#include "iokit/USBDeviceOSImpl.h"

#include <mutex>

namespace QV::DVK2 {
namespace {

constexpr const char* kUSBClass = "IOUSBDevice";
constexpr const char* kHIDClass = "IOHIDDevice";
constexpr const char* kTolvuAudioClass = "de_tolvu_driver_QVUSBAudioDevice";

}  // namespace

USBDeviceFactory::OSImpl::~OSImpl() { deInit(); }

bool USBDeviceFactory::OSImpl::initWithDeviceFilter(const USBDeviceFilter& filter)
{
    deInit();
    mach_port_t masterPort = MACH_PORT_NULL;
    if (IOMasterPort(MACH_PORT_NULL, &masterPort) != KERN_SUCCESS)
        return false;
    CFMutableDictionaryRef matching = IOServiceMatching(filter.ioClassName.c_str());
    if (matching == nullptr)
        return false;

    m_filter = filter;
    m_filterByIds = filter.vendorId != 0 || filter.productId != 0;
    // The class decides how a found device's identity can be read; a class of another driver is
    // reported whole.
    if (filter.ioClassName == kHIDClass)
        m_filter.deviceType = eUSBDeviceTypeHID;
    else if (filter.ioClassName == kTolvuAudioClass)
        m_filter.deviceType = eUSBDeviceTypeTolvuAudio;
    else if (filter.ioClassName != kUSBClass)
        m_filterByIds = false;

    m_port = IONotificationPortCreate(masterPort);
    if (m_port == nullptr) {
        CFRelease(matching);
        return false;
    }
    m_source = IONotificationPortGetRunLoopSource(m_port);
    m_runLoop = CFRunLoopGetCurrent();
    CFRunLoopAddSource(m_runLoop, m_source, kCFRunLoopDefaultMode);

    // Each registration consumes one reference of the matching dictionary.
    CFRetain(matching);
    if (IOServiceAddMatchingNotification(m_port, kIOFirstMatchNotification, matching, &OSImpl::onDeviceAdded, this,
                                         &m_addedIterator) != KERN_SUCCESS) {
        CFRelease(matching);
        deInit();
        return false;
    }
    // Draining the iterator arms it and reports the devices already present.
    deviceAdded(m_addedIterator);

    if (IOServiceAddMatchingNotification(m_port, kIOTerminatedNotification, matching, &OSImpl::onDeviceRemoved, this,
                                         &m_removedIterator) != KERN_SUCCESS) {
        deInit();
        return false;
    }
    deviceRemoved(m_removedIterator, false);
    return true;
}

void USBDeviceFactory::OSImpl::deInit()
{
    if (m_source != nullptr && m_runLoop != nullptr)
        CFRunLoopRemoveSource(m_runLoop, m_source, kCFRunLoopDefaultMode);
    m_source = nullptr;
    m_runLoop = nullptr;
    if (m_port != nullptr) {
        IONotificationPortDestroy(m_port);  // destroys its run-loop source too
        m_port = nullptr;
    }
    if (m_addedIterator != 0) {
        IOObjectRelease(m_addedIterator);
        m_addedIterator = 0;
    }
    if (m_removedIterator != 0) {
        IOObjectRelease(m_removedIterator);
        m_removedIterator = 0;
    }
    for (const auto& entry : m_reported)
        IOObjectRelease(entry.first);
    m_reported.clear();
}

void USBDeviceFactory::OSImpl::onDeviceAdded(void* context, io_iterator_t iterator)
{
    static_cast<OSImpl*>(context)->deviceAdded(iterator);
}

void USBDeviceFactory::OSImpl::onDeviceRemoved(void* context, io_iterator_t iterator)
{
    static_cast<OSImpl*>(context)->deviceRemoved(iterator, true);
}

void USBDeviceFactory::OSImpl::deviceAdded(io_iterator_t iterator)
{
    while (io_service_t service = IOIteratorNext(iterator)) {
        // The entry keeps the iterator's reference; a service seen twice keeps only one.
        if (!m_reported.emplace(service, false).second) {
            IOObjectRelease(service);
            continue;
        }
        if (m_filterByIds && !matchesIds(service))
            continue;
        m_reported[service] = true;
        // A copy: the callback may replace the factory's callbacks while it runs.
        Callback callback = m_factory.m_onDeviceAdded;
        if (callback)
            callback(USBDeviceOSHandle{service}, m_filter);
    }
}

void USBDeviceFactory::OSImpl::deviceRemoved(io_iterator_t iterator, bool report)
{
    while (io_service_t service = IOIteratorNext(iterator)) {
        auto seen = m_reported.find(service);
        if (seen != m_reported.end()) {
            Callback callback = m_factory.m_onDeviceRemoved;
            if (report && seen->second && callback)
                callback(USBDeviceOSHandle{service}, m_filter);
            IOObjectRelease(service);  // the reference the entry held
            m_reported.erase(service);
        }
        {
            std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
            s_mapHIDDeviceInfos.erase(service);
        }
        IOObjectRelease(service);
    }
}

bool USBDeviceFactory::OSImpl::matchesIds(io_service_t service) const
{
    USBDeviceInfo info;
    bool read = false;
    switch (m_filter.deviceType) {
    case eUSBDeviceTypeUSB:
    case eUSBDeviceTypeDFU: {
        // The registry first: a device of another product is passed over without being opened.
        uint16_t vendorId = 0, productId = 0;
        if (registryIds(service, vendorId, productId) && ((m_filter.vendorId != 0 && vendorId != m_filter.vendorId) ||
                                                          (m_filter.productId != 0 && productId != m_filter.productId)))
            return false;
        // A temporary interface, ids and release number only.
        IOReturn failure = kIOReturnSuccess;
        IOUSBDeviceInterface** device = USBDevice::OSImpl::getUSBDeviceInterfaceFor(service, &failure);
        read = USBDevice::OSImpl::getDeviceInfo(device, info, false);
        USBDevice::OSImpl::releaseDeviceInterface(device);
        if (device == nullptr && failure == kIOReturnNotPrivileged && (vendorId != 0 || productId != 0))
            ++m_factory.m_refusedForRights;
        break;
    }
    case eUSBDeviceTypeTolvuAudio:
        read = FX2Device::getDeviceInfoForOSHandle(USBDeviceOSHandle{service}, info, false);
        break;
    case eUSBDeviceTypeHID: read = HIDDevice::OSImpl::getHIDDeviceInfo(service, info, false); break;
    default: return false;
    }
    // An unreadable identity has ids 0 and so fails a filter with ids.
    if (!read)
        info = USBDeviceInfo{};
    if (m_filter.vendorId != 0 && info.vendorId != m_filter.vendorId)
        return false;
    if (m_filter.productId != 0 && info.productId != m_filter.productId)
        return false;
    return true;
}

bool USBDeviceFactory::OSImpl::registryIds(io_service_t service, uint16_t& vendorId, uint16_t& productId)
{
    const auto number = [service](const char* name, uint16_t& value) {
        CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, name, kCFStringEncodingUTF8);
        CFTypeRef property = IORegistryEntryCreateCFProperty(service, key, kCFAllocatorDefault, 0);
        CFRelease(key);
        if (property == nullptr)
            return false;
        SInt32 read = 0;
        const bool isNumber = CFGetTypeID(property) == CFNumberGetTypeID() &&
                              CFNumberGetValue(static_cast<CFNumberRef>(property), kCFNumberSInt32Type, &read);
        CFRelease(property);
        if (isNumber)
            value = static_cast<uint16_t>(read);
        return isNumber;
    };
    return number(kUSBVendorID, vendorId) && number(kUSBProductID, productId);
}

}  // namespace QV::DVK2
