#include "iokit/FX2Device.h"

#include "DVK2/Logging.h"
#include "DVK2/Sleep.h"

#include <chrono>
#include <cstring>

namespace QV::DVK2 {
namespace {

constexpr const char* kCategory = "FX2Device";
constexpr UInt32 kSelectorGetDeviceInfo = 3;
constexpr int kRetries = 3;

std::string text(const char (&field)[33]) { return std::string(field, strnlen(field, sizeof field)); }

void traceFailure(kern_return_t result)
{
    if (Logging::detailEnabled(kCategory))
        Logging::detail::__trace__msg(Logging::eLevelDetail,
                                      "%s: IOConnectCallMethod(GetDeviceInfo) failed with 0x%x\n", kCategory,
                                      static_cast<unsigned>(result));
}

}  // namespace

bool FX2Device::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings)
{
    mach_port_t masterPort = MACH_PORT_NULL;
    if (IOMasterPort(MACH_PORT_NULL, &masterPort) != KERN_SUCCESS)
        return false;
    io_connect_t connection = 0;
    if (IOServiceOpen(handle.service, mach_task_self(), 0, &connection) != KERN_SUCCESS)
        return false;

    bool result = false;
    if (connection != 0) {
        TolvuUSBDeviceInfo record{};
        result = OSImpl::getTolvuUSBDeviceInfo(connection, record);
        if (result)
            OSImpl::toDeviceInfo(record, info, withStrings);
    }
    IOServiceClose(connection);
    return result;
}

bool FX2Device::OSImpl::getTolvuUSBDeviceInfo(unsigned connection, TolvuUSBDeviceInfo& record)
{
    return readTolvuUSBDeviceInfo(
        [connection](TolvuUSBDeviceInfo& out) {
            size_t size = sizeof out;
            return IOConnectCallMethod(connection, kSelectorGetDeviceInfo, nullptr, 0, nullptr, 0, nullptr, nullptr,
                                       &out, &size);
        },
        record);
}

void FX2Device::OSImpl::toDeviceInfo(const TolvuUSBDeviceInfo& record, USBDeviceInfo& info, bool withStrings)
{
    info.vendorId = record.vendorId;
    info.productId = record.productId;
    info.version = record.version;
    if (withStrings) {
        info.manufacturer = text(record.manufacturer);
        info.product = text(record.product);
        info.serialNumber = text(record.serialNumber);
    }
}

bool FX2Device::OSImpl::readTolvuUSBDeviceInfo(const Call& call, TolvuUSBDeviceInfo& record)
{
    record.version = 0;
    kern_return_t result = call(record);
    if (result != KERN_SUCCESS) {
        traceFailure(result);
        return false;
    }
    // The driver answers before it has read the device; the version tells when it has.
    for (int retry = 1; record.version == 0; ++retry) {
        if (retry > kRetries) {
            if (Logging::detailEnabled(kCategory))
                Logging::detail::__trace__msg(Logging::eLevelDetail,
                                              "%s: IOConnectCallMethod(GetDeviceInfo) timed out %d times -> gave up\n",
                                              kCategory, kRetries);
            return true;
        }
        const int waitMs = 100 * retry;
        if (Logging::detailEnabled(kCategory))
            Logging::detail::__trace__msg(Logging::eLevelDetail,
                                          "%s: IOConnectCallMethod(GetDeviceInfo) timed out -> sleeping for %d ms\n",
                                          kCategory, waitMs);
        sleepFor(std::chrono::milliseconds(waitMs));
        result = call(record);
        if (result != KERN_SUCCESS) {
            traceFailure(result);
            return false;
        }
    }
    return true;
}

}  // namespace QV::DVK2
