// Kernel-driver user clients: the program's only one belongs to a macOS audio driver that has no
// Linux counterpart, so opening any user client fails as a missing driver would.
#include "IOKit/IOKitLib.h"

kern_return_t IOServiceOpen(io_service_t, task_port_t, UInt32, io_connect_t* connect)
{
    if (connect)
        *connect = 0;
    return kIOReturnUnsupported;
}

kern_return_t IOServiceClose(io_connect_t connect) { return connect ? KERN_SUCCESS : kIOReturnBadArgument; }

kern_return_t IOConnectCallMethod(io_connect_t, UInt32, const UInt64*, UInt32, const void*, size_t, UInt64*, UInt32*,
                                  void*, size_t*)
{
    return kIOReturnUnsupported;
}
