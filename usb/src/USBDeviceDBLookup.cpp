#include "USBDeviceDBLookup.h"

namespace QV::DVK2::USBDeviceDB {
namespace {

const USBDeviceFilter* firstOfType(const Entry& row, eUSBDeviceType type)
{
    for (const USBDeviceFilter* filter : row.filters) {
        if (filter->deviceType == type)
            return filter;
    }
    return nullptr;
}

const USBDeviceFilter* firstFilter(const Entry& row) { return row.filters.empty() ? nullptr : row.filters.front(); }

}  // namespace

const USBDeviceFilter* findDeviceFilter(const std::vector<Entry>& rows, uint16_t productId, eUSBDeviceType type)
{
    if (productId == 0)
        return nullptr;
    for (const Entry& row : rows) {
        if (row.productId != productId)
            continue;
        if (type == eUSBDeviceTypeUSB)
            return firstFilter(row);
        if (const USBDeviceFilter* filter = firstOfType(row, type))
            return filter;
    }
    return nullptr;
}

const USBDeviceFilter* findDeviceFilter(const std::vector<Entry>& rows, uint16_t vendorId, uint16_t productId,
                                        eUSBDeviceType type)
{
    if (vendorId == 0 || productId == 0)
        return nullptr;
    for (const Entry& row : rows) {
        const USBDeviceFilter* first = firstFilter(row);
        if (row.productId != productId || first == nullptr || first->vendorId != vendorId)
            continue;
        if (type == eUSBDeviceTypeUSB)
            return first;
        if (const USBDeviceFilter* filter = firstOfType(row, type))
            return filter;
    }
    return nullptr;
}

}  // namespace QV::DVK2::USBDeviceDB
