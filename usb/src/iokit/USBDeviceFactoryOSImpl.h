// The IOKit side of USBDeviceFactory: one registered scan (a notification port with a first-match
// and a terminate notification) and the services it has seen. Not locked: one thread registers,
// drains and ends a scan, and the callbacks run on that thread.
#pragma once

#include "DVK2/USBDeviceFactory.h"

#include <IOKit/IOKitLib.h>

#include <cstdint>
#include <map>

namespace QV::DVK2 {

class USBDeviceFactory::OSImpl {
public:
    explicit OSImpl(USBDeviceFactory& factory) : m_factory(factory) {}
    ~OSImpl();
    OSImpl(const OSImpl&) = delete;
    OSImpl& operator=(const OSImpl&) = delete;

    // Registers the scan and reports the matching devices present now to the factory's arrival
    // callback, on the calling thread. A callback must not end or restart the scan.
    bool initWithDeviceFilter(const USBDeviceFilter& filter);
    // Ends the scan and releases every service it holds. Harmless without a scan.
    void deInit();

private:
    static void onDeviceAdded(void* context, io_iterator_t iterator);
    static void onDeviceRemoved(void* context, io_iterator_t iterator);
    void deviceAdded(io_iterator_t iterator);
    void deviceRemoved(io_iterator_t iterator, bool report);
    // Whether a found service carries the filter's ids, read the way the filter's kind requires.
    // A device whose ids match but that this user may not use is counted in the factory, not matched.
    bool matchesIds(io_service_t service) const;
    // The USB device's ids from the registry, which needs no access to the device.
    static bool registryIds(io_service_t service, uint16_t& vendorId, uint16_t& productId);

    USBDeviceFactory& m_factory;
    USBDeviceFilter m_filter;
    bool m_filterByIds = false;
    IONotificationPortRef m_port = nullptr;
    CFRunLoopRef m_runLoop = nullptr;
    CFRunLoopSourceRef m_source = nullptr;
    io_iterator_t m_addedIterator = 0;
    io_iterator_t m_removedIterator = 0;
    // Every service seen by this scan, true when reported as added; each holds one reference.
    std::map<uint32_t, bool> m_reported;
};

}  // namespace QV::DVK2
