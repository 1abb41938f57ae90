// The IOKit stand-in's objects: services and iterators are ids in one table, reference counted
// like IOKit objects. A service stands for one libusb device; a device that re-enumerates is a
// new libusb device and so gets a new id. Ids are never reused. Thread-safe.
#pragma once

#include "IOKit/IOKitLib.h"

#include <libusb.h>

#include <vector>

namespace qvcompat::iokit {

class ObjectTable {
public:
    static ObjectTable& instance();

    // The service of a libusb device, with one more reference for the caller.
    io_service_t retainServiceFor(libusb_device* device);
    // Forgets the unreferenced services whose devices are not in `present` any more.
    void pruneServices(const std::vector<libusb_device*>& present);

    // An iterator over `services`, each of which already holds one reference that the iterator
    // hands to whoever takes it with next(); the iterator starts with one reference.
    io_iterator_t createIterator(std::vector<io_service_t> services);
    // The next service of an iterator (the caller owns its reference), or 0.
    io_object_t next(io_iterator_t iterator);

    // The device of a service with a libusb reference for the caller (libusb_unref_device), or null.
    libusb_device* deviceOf(io_service_t service);

    // Gives every libusb device back, as the libusb context ends; services and iterators stay
    // valid objects, but deviceOf answers null for every service from here on.
    void dropDevices();

    kern_return_t retain(io_object_t object);
    kern_return_t release(io_object_t object);

private:
    ObjectTable() = default;
};

}  // namespace qvcompat::iokit
