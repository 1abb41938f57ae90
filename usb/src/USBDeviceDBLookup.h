// The two lookups of the device table over any list of rows, so that they can be checked against
// small tables of their own as well as against the product table.
#pragma once

#include "DVK2/USBDeviceDB.h"

#include <vector>

namespace QV::DVK2::USBDeviceDB {

// Rows in order; a row whose product id matches but that has no filter of the asked kind does not
// end the search. Type 0 stands for the row's first filter.
const USBDeviceFilter* findDeviceFilter(const std::vector<Entry>& rows, uint16_t productId, eUSBDeviceType type);

// Only rows whose first filter carries `vendorId` take part; otherwise as above, the first filter
// included.
const USBDeviceFilter* findDeviceFilter(const std::vector<Entry>& rows, uint16_t vendorId, uint16_t productId,
                                        eUSBDeviceType type);

}  // namespace QV::DVK2::USBDeviceDB
