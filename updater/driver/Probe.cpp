#include "Probe.h"

#include <DVK2/DFUDevice.h>
#include <DVK2/USBDeviceDB.h>
#include <DVK2/USBDeviceFactory.h>
#include <UpdateLogic/VDXUpdaterUpgradeLogic.h>

#include <boost/format.hpp>

namespace QV::Driver {

namespace {

using DVK2::DFUDevice;

// The display name of the product a filter belongs to, from the device table.
const char* productName(const DVK2::USBDeviceFilter& filter)
{
    for (const DVK2::USBDeviceDB::Entry& entry : DVK2::USBDeviceDB::devices)
        for (const DVK2::USBDeviceFilter* candidate : entry.filters)
            if (candidate == &filter && !entry.names.empty())
                return entry.names.front();
    return "the controller";
}

void printIdentity(std::ostream& out, DFUDevice& device)
{
    const DVK2::USBDeviceInfo& info = device.info();
    out << boost::format("  vendor id:      0x%04X\n") % info.vendorId;
    out << boost::format("  product id:     0x%04X\n") % info.productId;
    out << boost::format("  release:        %d (0x%04X)\n") % info.version % info.version;
    out << "  manufacturer:   " << info.manufacturer << "\n";
    out << "  product:        " << info.product << "\n";
    out << "  serial number:  " << info.serialNumber << "\n";
    unsigned auxiliary = 0;
    if (device.getCustomImageVersion(VDXUpdaterUpgradeLogic::kAuxiliaryImageIndex, auxiliary))
        out << boost::format("  auxiliary image version: 0x%X\n") % auxiliary;
    else
        out << "  auxiliary image version: unreadable\n";
}

// A controller that an interrupted update left in firmware-update mode: its installed firmware
// cannot be read there.
void printUpdateMode(std::ostream& out, DFUDevice& device)
{
    const DVK2::USBDeviceInfo& info = device.info();
    out << boost::format("  vendor id:      0x%04X\n") % info.vendorId;
    out << boost::format("  product id:     0x%04X\n") % info.productId;
    out << "  serial number:  " << info.serialNumber << "\n";
    out << "  in firmware-update mode (an update was interrupted): `vdx-driver update` finishes the update\n";
}

}  // namespace

int probe(std::ostream& out, unsigned& refused)
{
    refused = 0;
    // The controller's filter in the device table, as the update logic scans with it: the
    // application mode's product id, then the firmware-update mode's.
    const DVK2::USBDeviceFilter& filter = DVK2::USBDeviceDB::VardolinStudioDFU;
    DVK2::USBDeviceFilter updateMode = filter;
    updateMode.productId = DVK2::DFU::updateModeProductId(filter.productId);
    out << boost::format("Scanning for %s (vendor 0x%04X, product 0x%04X or 0x%04X)...\n") % productName(filter) %
               filter.vendorId % filter.productId % updateMode.productId;

    int count = 0;
    const auto scan = [&](const DVK2::USBDeviceFilter& scanned, bool inUpdateMode) {
        DVK2::USBDeviceFactory factory;
        // Handles stay valid only while the scan holds them: connect inside the callback.
        factory.setCallbacks(
            [&](const DVK2::USBDeviceOSHandle& handle, const DVK2::USBDeviceFilter&) {
                DFUDevice device;
                ++count;
                out << "Controller " << count << ":\n";
                device.connect(handle);  // the identity is read even without a DFU interface
                if (!device.isConnected()) {
                    out << "  cannot connect\n";
                    return;
                }
                if (inUpdateMode)
                    printUpdateMode(out, device);
                else
                    printIdentity(out, device);
                device.disconnect();
            },
            {});
        factory.initWithDeviceFilter(scanned, false);
        factory.deInit();
        refused += factory.refusedForLackOfRights();
    };
    scan(filter, false);
    scan(updateMode, true);
    return count;
}

}  // namespace QV::Driver
