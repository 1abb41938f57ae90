// The process-wide libusb context under the IOKit stand-in, and its end.
//
// The context is created on first use and ends once, when the process exits (or earlier through
// endUsbContext). Everything the stand-in holds of libusb, the devices behind services and the
// handles behind device interfaces, is let go of before libusb_exit, which stops libusb's hotplug
// thread and frees every device it still lists: nothing of libusb outlives the context, whatever
// arrived or left on the bus meanwhile.
#pragma once

struct libusb_context;

namespace qvcompat::iokit {

// Holds the context for one call into libusb: the context does not end while a use is alive.
// Every libusb call of the stand-in runs under one. Uses may nest on one thread.
class UsbContextUse {
public:
    UsbContextUse();
    ~UsbContextUse();
    UsbContextUse(const UsbContextUse&) = delete;
    UsbContextUse& operator=(const UsbContextUse&) = delete;

    // The context; null when libusb could not start or the context has ended (or is ending), in
    // which case the caller touches no libusb object and reports that there is no device.
    libusb_context* context() const { return m_context; }
    explicit operator bool() const { return m_context != nullptr; }

private:
    libusb_context* m_context = nullptr;
};

// Ends the context: waits for the uses in flight, closes the device interfaces still open, drops
// the services' devices and ends libusb. Runs by itself when the process exits, before the static
// objects of the stand-in go; later calls into the stand-in find no device. Once only; must not be
// called under a UsbContextUse.
void endUsbContext();

}  // namespace qvcompat::iokit
