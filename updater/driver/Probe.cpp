#include "Probe.h"

#include <DVK2/USBDevice.h>
#include <DVK2/USBDeviceDB.h>
#include <DVK2/USBDeviceFactory.h>

#include <boost/format.hpp>

#include <vector>

namespace QV::Driver {

namespace {

using DVK2::USBDevice;

constexpr uint16_t kApplicationProductId = 0x1300;
constexpr uint8_t kAuxiliaryImageIndex = 1;

// The auxiliary image's version: vendor request 0xB3 addressed to image 0x1C + index.
bool readAuxiliaryVersion(USBDevice& device, unsigned& version)
{
    uint8_t reply[2] = {};
    USBDevice::Request request;
    request.bmRequestType = 0xC0;
    request.bRequest = 0xB3;
    request.wIndex = 0x1C + kAuxiliaryImageIndex;
    request.wLength = sizeof reply;
    request.pData = reply;
    const USBDevice::Status status = device.controlTransfer(request);
    if (status != USBDevice::eStatusSuccess || request.transferred < sizeof reply)
        return false;
    version = reply[0] | reply[1] << 8;
    return true;
}

void printIdentity(std::ostream& out, USBDevice& device)
{
    const DVK2::USBDeviceInfo& info = device.info();
    out << boost::format("  vendor id:      0x%04X\n") % info.vendorId;
    out << boost::format("  product id:     0x%04X\n") % info.productId;
    out << boost::format("  release:        %d (0x%04X)\n") % info.version % info.version;
    out << "  manufacturer:   " << info.manufacturer << "\n";
    out << "  product:        " << info.product << "\n";
    out << "  serial number:  " << info.serialNumber << "\n";
    unsigned auxiliary = 0;
    if (readAuxiliaryVersion(device, auxiliary))
        out << boost::format("  auxiliary image version: 0x%X\n") % auxiliary;
    else
        out << "  auxiliary image version: unreadable\n";
}

}  // namespace

int probe(std::ostream& out)
{
    const DVK2::USBDeviceFilter* filter = DVK2::USBDeviceDB::getDeviceFilter(
        DVK2::USBDeviceDB::QVVendorId, kApplicationProductId, DVK2::eUSBDeviceTypeDFU);
    if (!filter) {
        out << "The device table has no Vardolin Studio filter.\n";
        return 0;
    }
    out << boost::format("Scanning for %s (vendor 0x%04X, product 0x%04X)...\n") % "Vardolin Studio" %
               filter->vendorId % filter->productId;

    std::vector<DVK2::USBDeviceOSHandle> found;
    int count = 0;
    DVK2::USBDeviceFactory factory;
    // Handles stay valid only while the scan holds them: connect inside the callback.
    factory.setCallbacks(
        [&](const DVK2::USBDeviceOSHandle& handle, const DVK2::USBDeviceFilter&) {
            USBDevice device;
            ++count;
            out << "Controller " << count << ":\n";
            if (!device.connect(handle)) {
                out << "  cannot connect\n";
                return;
            }
            printIdentity(out, device);
            device.disconnect();
        },
        {});
    factory.initWithDeviceFilter(*filter, false);
    factory.deInit();
    return count;
}

}  // namespace QV::Driver
