#include "DVK2/USBDeviceFilter.h"

#include "DVK2/USBDeviceFactory.h"

namespace QV::DVK2 {

bool USBDeviceFilter::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info,
                                               bool withStrings) const
{
    return USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(handle, *this, info, withStrings);
}

}  // namespace QV::DVK2
