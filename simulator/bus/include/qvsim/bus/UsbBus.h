#pragma once

#include "qvsim/model/ControllerModel.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace QV::SIM {

struct tUsbAddress {
    std::uint8_t bus = 0;
    std::uint8_t device = 0;
};

// The emulated USB bus: one umockdev testbed per process in which each plugged controller model is
// a USB device (sysfs entry, udev uevents and a /dev/bus/usb node answering usbfs requests), so that
// libusb, and every program on it, talks to the model as to real hardware. All controllers sit on
// bus 1, one port each; every enumeration gets a new device number.
//
// The process must run under umockdev's preload (umockdev-wrapper), and the bus must exist before the
// process creates its first libusb context: libusb's hotplug monitor is process-wide.
class UsbBus {
public:
    // Creates the testbed on first use. Throws std::runtime_error outside umockdev's preload.
    static UsbBus& instance();

    UsbBus(const UsbBus&) = delete;
    UsbBus& operator=(const UsbBus&) = delete;

    // Connects a controller: it enumerates at once when it is on the bus, and whenever it asks for it
    // later (re-enumeration). Throws std::logic_error when the model is plugged already.
    void plug(std::shared_ptr<ControllerModel> model);

    // Disconnects a controller for good; nothing when it is not plugged.
    void unplug(const std::shared_ptr<ControllerModel>& model);
    void unplugAll();

    // Waits until libusb (a context of the bus's own) lists exactly the devices now on the bus.
    // False when the deadline passes first. The default is long on purpose: the wait ends as soon
    // as the bus has settled, and a loaded machine may take seconds to deliver the uevents.
    bool waitSettled(std::chrono::steady_clock::time_point deadline);
    bool waitSettled(std::chrono::milliseconds timeout = std::chrono::seconds(30));

    // The controller's device node refuses to be opened (EACCES), as for a user without the rights
    // to it, from now on and at every later enumeration; false lifts it. A process with root
    // rights must give up its file access override to see it (FileAccess.h). Nothing when the
    // controller is not plugged.
    void setOpenRefused(const ControllerModel& model, bool refused);

    // Bus and device number of a controller while it is enumerated.
    std::optional<tUsbAddress> address(const ControllerModel& model) const;

    // The testbed's root (its sys/ and dev/ folders).
    std::string rootDirectory() const;

private:
    struct tImpl;

    UsbBus();
    ~UsbBus();

    std::unique_ptr<tImpl> m_impl;
};

}  // namespace QV::SIM
