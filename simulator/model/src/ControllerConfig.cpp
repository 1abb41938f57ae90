#include "qvsim/model/ControllerConfig.h"

#ifndef QV_USB_VENDOR_ID
#error "QV_USB_VENDOR_ID must be defined by the build (a cache variable of the top CMakeLists)"
#endif

namespace QV::SIM {

std::uint16_t defaultVendorId() { return static_cast<std::uint16_t>(QV_USB_VENDOR_ID); }

}  // namespace QV::SIM
