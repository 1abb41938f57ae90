// Master port, object references and iterators of the IOKit stand-in.
#include "IOKit/IOKitLib.h"
#include "IOKit/standin/ObjectTable.h"

using qvcompat::iokit::ObjectTable;

const mach_port_t kIOMasterPortDefault = MACH_PORT_NULL;

kern_return_t IOMasterPort(mach_port_t, mach_port_t* masterPort)
{
    if (!masterPort)
        return kIOReturnBadArgument;
    *masterPort = 2;  // any non-null port: there is one registry
    return KERN_SUCCESS;
}

io_object_t IOIteratorNext(io_iterator_t iterator) { return ObjectTable::instance().next(iterator); }

kern_return_t IOObjectRetain(io_object_t object) { return ObjectTable::instance().retain(object); }

kern_return_t IOObjectRelease(io_object_t object) { return ObjectTable::instance().release(object); }
