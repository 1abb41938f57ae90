#include "ObjectTable.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

namespace qvcompat::iokit {

namespace {

struct Entry {
    enum eKind {
        eService,
        eIterator
    };
    explicit Entry(eKind k) : kind(k) {}
    eKind kind;
    long refs = 1;
    libusb_device* device = nullptr;   // services: one libusb reference
    std::deque<io_service_t> pending;  // iterators: services not yet taken, each with a reference
};

std::mutex s_lock;
std::map<io_object_t, Entry> s_entries;
io_object_t s_nextId = 0x1001;

// A known device keeps its service id while the device is present, even when nobody holds the
// service, so a second scan reports the same service, as IOKit does.
std::map<libusb_device*, io_service_t> s_serviceOfDevice;

void destroyLocked(std::map<io_object_t, Entry>::iterator found);

void releaseLocked(io_object_t id)
{
    auto found = s_entries.find(id);
    if (found == s_entries.end() || found->second.refs <= 0)
        return;
    if (--found->second.refs == 0)
        destroyLocked(found);
}

void destroyLocked(std::map<io_object_t, Entry>::iterator found)
{
    Entry& entry = found->second;
    if (entry.kind == Entry::eIterator) {
        std::deque<io_service_t> pending;
        pending.swap(entry.pending);
        s_entries.erase(found);
        for (io_service_t service : pending)
            releaseLocked(service);
    }
    // Services with no references stay known until their device leaves (pruneServices).
}

}  // namespace

ObjectTable& ObjectTable::instance()
{
    static ObjectTable s_table;
    return s_table;
}

io_service_t ObjectTable::retainServiceFor(libusb_device* device)
{
    std::lock_guard<std::mutex> lock(s_lock);
    auto known = s_serviceOfDevice.find(device);
    if (known != s_serviceOfDevice.end()) {
        ++s_entries.at(known->second).refs;
        return known->second;
    }
    const io_service_t id = s_nextId++;
    Entry entry(Entry::eService);
    entry.device = libusb_ref_device(device);
    s_entries.emplace(id, std::move(entry));
    s_serviceOfDevice.emplace(device, id);
    return id;
}

void ObjectTable::pruneServices(const std::vector<libusb_device*>& present)
{
    std::vector<libusb_device*> gone;
    {
        std::lock_guard<std::mutex> lock(s_lock);
        for (auto it = s_serviceOfDevice.begin(); it != s_serviceOfDevice.end();) {
            auto entry = s_entries.find(it->second);
            const bool isPresent = std::find(present.begin(), present.end(), it->first) != present.end();
            if (!isPresent && entry->second.refs <= 0) {
                gone.push_back(entry->second.device);
                s_entries.erase(entry);
                it = s_serviceOfDevice.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (libusb_device* device : gone)
        libusb_unref_device(device);
}

io_iterator_t ObjectTable::createIterator(std::vector<io_service_t> services)
{
    std::lock_guard<std::mutex> lock(s_lock);
    const io_iterator_t id = s_nextId++;
    Entry entry(Entry::eIterator);
    entry.pending.assign(services.begin(), services.end());
    s_entries.emplace(id, std::move(entry));
    return id;
}

io_object_t ObjectTable::next(io_iterator_t iterator)
{
    std::lock_guard<std::mutex> lock(s_lock);
    auto found = s_entries.find(iterator);
    if (found == s_entries.end() || found->second.kind != Entry::eIterator || found->second.pending.empty())
        return 0;
    const io_service_t service = found->second.pending.front();
    found->second.pending.pop_front();
    return service;
}

libusb_device* ObjectTable::deviceOf(io_service_t service)
{
    std::lock_guard<std::mutex> lock(s_lock);
    auto found = s_entries.find(service);
    if (found == s_entries.end() || found->second.kind != Entry::eService || !found->second.device)
        return nullptr;
    return libusb_ref_device(found->second.device);
}

void ObjectTable::dropDevices()
{
    std::vector<libusb_device*> devices;
    {
        std::lock_guard<std::mutex> lock(s_lock);
        for (auto& [id, entry] : s_entries)
            if (entry.kind == Entry::eService && entry.device) {
                devices.push_back(entry.device);
                entry.device = nullptr;
            }
        s_serviceOfDevice.clear();
    }
    for (libusb_device* device : devices)
        libusb_unref_device(device);
}

kern_return_t ObjectTable::retain(io_object_t object)
{
    std::lock_guard<std::mutex> lock(s_lock);
    auto found = s_entries.find(object);
    if (found == s_entries.end() || found->second.refs <= 0)
        return kIOReturnBadArgument;
    ++found->second.refs;
    return KERN_SUCCESS;
}

kern_return_t ObjectTable::release(io_object_t object)
{
    std::lock_guard<std::mutex> lock(s_lock);
    auto found = s_entries.find(object);
    if (found == s_entries.end() || found->second.refs <= 0)
        return kIOReturnBadArgument;
    releaseLocked(object);
    return KERN_SUCCESS;
}

}  // namespace qvcompat::iokit
