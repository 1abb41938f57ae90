#include "SysfsEntry.h"

#include <cstdio>

namespace QV::SIM {

namespace {

std::string format(const char* pattern, unsigned value)
{
    char text[32];
    std::snprintf(text, sizeof(text), pattern, value);
    return text;
}

}  // namespace

tSysfsEntry makeSysfsEntry(const tUsbIdentity& identity, unsigned bus, unsigned port, unsigned deviceNumber)
{
    tSysfsEntry entry;
    entry.name = std::to_string(bus) + "-" + std::to_string(port);
    entry.devNode = "/dev/bus/usb/" + format("%03u", bus) + "/" + format("%03u", deviceNumber);
    entry.descriptors = identity.descriptors;

    // Minor numbers of usb_device nodes as the kernel gives them: 128 per bus.
    const unsigned minor = (bus - 1) * 128 + (deviceNumber - 1);
    const std::uint8_t interfaces = identity.descriptors.size() > 18 + 4 ? identity.descriptors[18 + 4] : 0;

    entry.attributes = {
        {"busnum", format("%u\n", bus)},
        {"devnum", format("%u\n", deviceNumber)},
        {"devpath", format("%u\n", port)},
        {"dev", "189:" + format("%u\n", minor)},
        {"speed", "12\n"},
        {"version", " 2.00\n"},
        {"idVendor", format("%04x\n", identity.vendorId)},
        {"idProduct", format("%04x\n", identity.productId)},
        {"bcdDevice", format("%04x\n", identity.bcdDevice)},
        {"bDeviceClass", "00\n"},
        {"bDeviceSubClass", "00\n"},
        {"bDeviceProtocol", "00\n"},
        {"bMaxPacketSize0", "64\n"},
        {"bNumConfigurations", "1\n"},
        {"bConfigurationValue", "1\n"},
        {"bNumInterfaces", format("%2u\n", interfaces)},
        {"bmAttributes", "80\n"},
        {"bMaxPower", "100mA\n"},
        {"maxchild", "0\n"},
    };
    if (!identity.manufacturer.empty())
        entry.attributes.emplace_back("manufacturer", identity.manufacturer + "\n");
    if (!identity.product.empty())
        entry.attributes.emplace_back("product", identity.product + "\n");
    if (!identity.serialNumber.empty())
        entry.attributes.emplace_back("serial", identity.serialNumber + "\n");

    char product[32];
    std::snprintf(product, sizeof(product), "%x/%x/%x", identity.vendorId, identity.productId, identity.bcdDevice);
    entry.properties = {
        {"DEVNAME", entry.devNode},
        {"DEVTYPE", "usb_device"},
        {"BUSNUM", format("%03u", bus)},
        {"DEVNUM", format("%03u", deviceNumber)},
        {"MAJOR", "189"},
        {"MINOR", format("%u", minor)},
        {"PRODUCT", product},
        {"TYPE", "0/0/0"},
    };
    return entry;
}

}  // namespace QV::SIM
