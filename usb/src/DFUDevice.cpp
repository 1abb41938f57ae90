#include "DVK2/DFUDevice.h"

#include "DFUInterfaceDescriptor.h"
#include "DVK2/Logging.h"
#include "DVK2/Sleep.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace QV::DVK2 {
namespace {

constexpr const char* kCategory = "DFUDevice";

// bmRequestType values: class requests to the interface, vendor requests.
constexpr uint8_t kClassOut = 0x21;
constexpr uint8_t kClassIn = 0xA1;
constexpr uint8_t kVendorOut = 0x41;
constexpr uint8_t kVendorDeviceIn = 0xC0;

// bRequest values.
constexpr uint8_t kDFU_DETACH = 0x00;
constexpr uint8_t kDFU_DNLOAD = 0x01;
constexpr uint8_t kDFU_GETSTATUS = 0x03;
constexpr uint8_t kDFU_CLRSTATUS = 0x04;
constexpr uint8_t kDFU_GETSTATE = 0x05;
constexpr uint8_t kDFU_ABORT = 0x06;
constexpr uint8_t kXMOS_DFU_RESETINTODFU = 0xF2;
constexpr uint8_t kXMOS_DFU_RESETFROMDFU = 0xF3;
constexpr uint8_t kCustomImageBase = 0x1C;  // write: bRequest, version read: wIndex
constexpr uint8_t kCustomImageVersion = 0xB3;

constexpr uint16_t kMaxTransferSize = 8191;
constexpr uint32_t kCustomBlockSize = 256;
constexpr uint32_t kMaxPollWaitMs = 1000;
constexpr std::chrono::milliseconds kReenumerationWait{2500};
constexpr std::chrono::seconds kTolerantManifestStep{1};
constexpr std::chrono::seconds kManifestStep{10};
constexpr uint32_t kManifestStepMs = 10000;

USBDevice::Request makeRequest(uint8_t type, uint8_t request, uint16_t value, uint16_t index, uint16_t length,
                               void* data)
{
    USBDevice::Request r;
    r.bmRequestType = type;
    r.bRequest = request;
    r.wValue = value;
    r.wIndex = index;
    r.wLength = length;
    r.pData = data;
    return r;
}

void traceFailure(const char* name, USBDevice::Status status)
{
    if (!Logging::detailEnabled(kCategory))
        return;
    Logging::detail::__trace__msg(Logging::eLevelDetail, "%s: %s failed with status 0x%x (%s)\n", kCategory, name,
                                  static_cast<unsigned>(status), USBDevice::statusAsString(status));
}

uint16_t applicationProductId(uint16_t productId) { return static_cast<uint16_t>(productId & 0xFFF0); }

}  // namespace

DFUDevice::DFUDevice() = default;
DFUDevice::~DFUDevice() = default;

bool DFUDevice::connect(const USBDeviceOSHandle& handle)
{
    const bool connected = USBDevice::connect(handle);
    return connected && m_dfu.mode != eModeNone;
}

void DFUDevice::postConnect()
{
    USBDevice::postConnect();
    queryDFUInfo();
}

bool DFUDevice::queryDFUInfo()
{
    unsigned length = 0;
    const uint8_t* config = getConfigurationDescriptor(length);
    if (config == nullptr)
        return false;
    DFU::tInterfaceInfo found;
    if (DFU::findInterface(config, length, found)) {
        m_dfu = found;
    } else {
        const uint16_t interfaceNumber = m_dfu.interfaceNumber;
        m_dfu = DFU::tInterfaceInfo{};
        m_dfu.interfaceNumber = interfaceNumber;
    }
    return true;
}

// --- single requests ---------------------------------------------------------------------------

bool DFUDevice::sendRequest(const char* name, Request& request)
{
    const Status status = controlTransfer(request);
    if (status == eStatusSuccess)
        return true;
    if (name != nullptr)
        traceFailure(name, status);
    return false;
}

bool DFUDevice::writeDFUData(const DFUClient::Payload& payload)
{
    if (payload.length > sizeof(payload.data))
        return false;
    // An OUT transfer only reads the buffer.
    Request r = makeRequest(kClassOut, kDFU_DNLOAD, payload.blockNumber, m_dfu.interfaceNumber, payload.length,
                            const_cast<uint8_t*>(payload.data));
    return sendRequest("DFU_DNLOAD", r);
}

bool DFUDevice::getDFUStatus(DFU::GetStatus& status)
{
    // Anything but a whole reply reads as a failure, never as a stale or zeroed "OK".
    status = DFU::GetStatus{};
    status.bStatus = DFU::eStatusErrUnknown;
    status.bState = DFU::eStateError;

    uint8_t reply[6] = {};
    Request r = makeRequest(kClassIn, kDFU_GETSTATUS, 0, m_dfu.interfaceNumber, sizeof(reply), reply);
    if (!sendRequest("DFU_GETSTATUS", r) || r.transferred != sizeof(reply))
        return false;
    status.bStatus = reply[0];
    status.bwPollTimeout =
        static_cast<uint32_t>(reply[1]) | static_cast<uint32_t>(reply[2]) << 8 | static_cast<uint32_t>(reply[3]) << 16;
    status.bState = reply[4];
    status.iString = reply[5];
    return true;
}

bool DFUDevice::getDFUState(uint8_t& state)
{
    uint8_t reply = 0;
    Request r = makeRequest(kClassIn, kDFU_GETSTATE, 0, m_dfu.interfaceNumber, 1, &reply);
    if (!sendRequest("DFU_GETSTATE", r) || r.transferred != 1)
        return false;
    state = reply;
    return true;
}

bool DFUDevice::sendDFUAbort()
{
    Request r = makeRequest(kClassOut, kDFU_ABORT, 0, m_dfu.interfaceNumber, 0, nullptr);
    return sendRequest("DFU_ABORT", r);
}

bool DFUDevice::sendDFUClearStatus()
{
    Request r = makeRequest(kClassOut, kDFU_CLRSTATUS, 0, m_dfu.interfaceNumber, 0, nullptr);
    return sendRequest("DFU_CLRSTATUS", r);
}

bool DFUDevice::returnToDFUIdle()
{
    if (m_dfu.mode != eModeUpdate)
        return false;
    uint32_t waitedMs = 0;
    for (unsigned polls = 0; polls < kMaxBusyPolls; ++polls) {
        DFU::GetStatus status;
        if (!getDFUStatus(status))
            return false;
        switch (status.bState) {
        case DFU::eStateDfuIdle: return true;
        case DFU::eStateError:
            if (!sendDFUClearStatus())
                return false;
            break;
        case DFU::eStateDnloadIdle:
        case DFU::eStateUploadIdle:
            if (!sendDFUAbort())
                return false;
            break;
        case DFU::eStateDnloadSync:
        case DFU::eStateManifestSync: break;  // the next status request moves it on
        case DFU::eStateDnBusy:
        case DFU::eStateManifest: {
            const uint32_t waitMs = std::min(status.bwPollTimeout, kMaxPollWaitMs);
            if (waitedMs + waitMs > kMaxBusyWaitMs)
                return false;
            if (waitMs != 0)
                sleepFor(std::chrono::milliseconds(waitMs));
            waitedMs += waitMs;
            break;
        }
        default: return false;  // waiting for a reset, or not in DFU mode at all
        }
    }
    return false;
}

bool DFUDevice::sendDetachRequest()
{
    Request r = makeRequest(kClassOut, kDFU_DETACH, m_dfu.wDetachTimeOut, m_dfu.interfaceNumber, 0, nullptr);
    return sendRequest("DFU_DETACH", r);
}

bool DFUDevice::sendXMOSDFUResetIntoDFU()
{
    Request r = makeRequest(kClassOut, kXMOS_DFU_RESETINTODFU, 0, m_dfu.interfaceNumber, 0, nullptr);
    return sendRequest("XMOS_DFU_RESETINTODFU", r);
}

bool DFUDevice::sendXMOSDFUResetFromDFU()
{
    Request r = makeRequest(kClassOut, kXMOS_DFU_RESETFROMDFU, 0, m_dfu.interfaceNumber, 0, nullptr);
    return sendRequest("XMOS_DFU_RESETFROMDFU", r);
}

// --- mode changes --------------------------------------------------------------------------------

bool DFUDevice::sendDFUDetach()
{
    if (m_dfu.bmAttributes & DFU::kAttributeWillDetach)
        return sendDetachRequest();
    return sendXMOSDFUResetIntoDFU();
}

bool DFUDevice::returnToAPPMode()
{
    if (isConnected() && m_dfu.mode == eModeApplication)
        return true;
    if (m_dfu.bmAttributes & DFU::kAttributeWillDetach)
        return sendDetachRequest();
    return sendXMOSDFUResetFromDFU();
}

bool DFUDevice::reconnectInDFUMode()
{
    if (isConnected() && m_dfu.mode == eModeUpdate)
        return true;

    // The identity survives the disconnect; the serial number finds the device again.
    const uint16_t vendorId = m_info.vendorId;
    const uint16_t productId = m_info.productId;
    const std::string serialNumber = m_info.serialNumber;
    const USBDeviceFilter* known = USBDeviceDB::getDeviceFilter(vendorId, productId, eUSBDeviceTypeDFU);
    USBDeviceFilter filter = known != nullptr ? *known : USBDeviceDB::QVUSBDevices;

    if (isConnected()) {
        disconnect();
        sleepFor(kReenumerationWait);
    }

    filter.productId = DFU::updateModeProductId(productId);
    USBDeviceFactory factory;
    factory.setCallbacks(
        [this, &serialNumber](const USBDeviceOSHandle& handle, const USBDeviceFilter& found) {
            reconnect(handle, found, this, serialNumber);
        },
        USBDeviceFactory::Callback());
    factory.initWithDeviceFilter(filter, false);
    factory.deInit();
    return isConnected();
}

void reconnect(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter, DFUDevice* device,
               const std::string& serialNumber)
{
    if (device->isConnected())
        return;  // the first match wins
    if (!serialNumber.empty()) {
        USBDeviceInfo found;
        if (!filter.getDeviceInfoForOSHandle(handle, found, true) || found.serialNumber != serialNumber)
            return;
    }
    device->connect(handle);
}

// --- download ------------------------------------------------------------------------------------

bool DFUDevice::writeImage(const uint8_t* data, uint32_t length, DFU::GetStatus& status)
{
    status = DFU::GetStatus{};
    if (data == nullptr || length == 0) {
        status.bStatus = DFU::eStatusErrTarget;
        return false;
    }
    if (m_dfu.mode != eModeUpdate) {
        status.bStatus = DFU::eStatusErrWrite;
        return false;
    }
    const uint16_t blockSize = m_dfu.wTransferSize;
    if (blockSize == 0 || blockSize > kMaxTransferSize) {
        status.bStatus = DFU::eStatusErrUnknown;
        if (Logging::errorEnabled())
            Logging::detail::__trace__msg(Logging::eLevelError, "%s: Unsupported wTransferSize (%d)\n", kCategory,
                                          static_cast<int>(blockSize));
        return false;
    }

    // Full blocks 0 .. n-1, then the remainder (if any) as block n. The terminating zero-length
    // request carries the number after the last block sent, as DFU 1.1 counts transfers.
    DFUClient::Payload payload;
    uint16_t blockNumber = 0;
    for (uint32_t offset = 0; offset < length; offset += payload.length, ++blockNumber) {
        payload.blockNumber = blockNumber;
        payload.length = static_cast<uint16_t>(std::min<uint32_t>(blockSize, length - offset));
        std::memcpy(payload.data, data + offset, payload.length);
        if (!writeDFUData(payload)) {
            status.bStatus = DFU::eStatusErrUnknown;
            return false;
        }
        if (!busyWait(status))
            return false;
    }

    payload.blockNumber = blockNumber;
    payload.length = 0;
    if (!writeDFUData(payload)) {
        status.bStatus = DFU::eStatusErrUnknown;
        return false;
    }
    return manifest(status);
}

// Polls until the device has taken the block (dfuDNLOAD-IDLE). Every false leaves a non-zero
// bStatus: the device's own, or errUNKNOWN for a failed request, an unexpected state or a device
// that stays busy beyond the bounds.
bool DFUDevice::busyWait(DFU::GetStatus& status)
{
    unsigned busyAnswers = 0;
    uint32_t waitedMs = 0;
    for (;;) {
        if (!getDFUStatus(status) || status.bStatus != DFU::eStatusOK)
            return false;
        if (status.bState == DFU::eStateDnloadIdle)
            return true;
        if (status.bState != DFU::eStateDnBusy) {
            status.bStatus = DFU::eStatusErrUnknown;
            return false;
        }
        const uint32_t waitMs = std::min(status.bwPollTimeout, kMaxPollWaitMs);
        if (++busyAnswers > kMaxBusyPolls || waitedMs + waitMs > kMaxBusyWaitMs) {
            status.bStatus = DFU::eStatusErrUnknown;
            return false;
        }
        if (waitMs != 0) {
            sleepFor(std::chrono::milliseconds(waitMs));
            waitedMs += waitMs;
        }
    }
}

// The manifestation phase after the zero-length download request:
//
//   state                     | tolerant device              | device not tolerant
//   --------------------------+------------------------------+---------------------------------
//   appIDLE, MANIFEST-WAIT-RST| success                      | success
//   dfuIDLE                   | GETSTATUS decides            | GETSTATUS decides
//   MANIFEST-SYNC             | GETSTATUS, then as MANIFEST  | GETSTATUS, then as MANIFEST
//   MANIFEST                  | 1 s, GETSTATE, again         | 10 s, scan for the device back in
//                             | (at most 60 times)           | application mode, again (until the
//                             |                              | seconds waited pass wDetachTimeOut ms)
//   anything else             | errUNKNOWN                   | errUNKNOWN
bool DFUDevice::manifest(DFU::GetStatus& status)
{
    uint8_t state = DFU::eStateError;  // stays so when the read fails
    getDFUState(state);

    const bool tolerant = (m_dfu.bmAttributes & DFU::kAttributeManifestationTolerant) != 0;
    unsigned tolerantWaits = 0;
    uint32_t waitedMs = 0;  // counted in DFU 1.1's unit of wDetachTimeOut
    for (;;) {
        switch (state) {
        case DFU::eStateAppIdle:
        case DFU::eStateManifestWaitReset:
            status.bState = state;
            status.bStatus = DFU::eStatusOK;
            return true;
        case DFU::eStateDfuIdle: return getDFUStatus(status) && status.bStatus == DFU::eStatusOK;
        case DFU::eStateManifestSync:
            if (!getDFUStatus(status) || status.bStatus != DFU::eStatusOK)
                return false;
            state = DFU::eStateManifest;
            break;
        case DFU::eStateManifest:
            if (tolerant) {
                if (tolerantWaits++ >= kMaxTolerantManifestWaits) {
                    status.bStatus = DFU::eStatusErrUnknown;
                    return false;
                }
                sleepFor(kTolerantManifestStep);
                if (!getDFUState(state)) {
                    status.bStatus = DFU::eStatusErrUnknown;
                    return false;
                }
            } else {
                sleepFor(kManifestStep);
                if (waitedMs > m_dfu.wDetachTimeOut) {
                    status.bStatus = DFU::eStatusErrUnknown;
                    return false;
                }
                // The device re-enumerates in application mode; find it by its serial number.
                if (const USBDeviceFilter* filter =
                        USBDeviceDB::getDeviceFilter(applicationProductId(m_info.productId), eUSBDeviceTypeDFU)) {
                    USBDeviceFactory factory;
                    factory.setCallbacks(
                        [this, &state](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
                            checkManifestedDevice(handle, state);
                        },
                        USBDeviceFactory::Callback());
                    factory.initWithDeviceFilter(*filter, false);
                    factory.deInit();
                }
                waitedMs += kManifestStepMs;
            }
            break;
        default: status.bStatus = DFU::eStatusErrUnknown; return false;
        }
    }
}

void DFUDevice::checkManifestedDevice(const USBDeviceOSHandle& handle, uint8_t& state)
{
    if (state == DFU::eStateManifestWaitReset)
        return;  // already found in this scan
    USBDeviceInfo found;
    if (!USBDevice::getDeviceInfoForOSHandle(handle, found, true))
        return;
    if (found.productId != applicationProductId(m_info.productId) || found.serialNumber != m_info.serialNumber)
        return;
    disconnect();
    connect(handle);
    state = DFU::eStateManifestWaitReset;
}

// --- custom image --------------------------------------------------------------------------------

bool DFUDevice::writeCustom(const uint8_t* data, uint32_t length, uint8_t imageIndex)
{
    if (data == nullptr || length == 0 || m_dfu.mode != eModeUpdate)
        return false;
    const uint8_t request = static_cast<uint8_t>(kCustomImageBase + imageIndex);
    const uint32_t fullBlocks = length / kCustomBlockSize;
    // OUT transfers only read the buffer.
    auto* bytes = const_cast<uint8_t*>(data);
    for (uint32_t i = 0; i < fullBlocks; ++i) {
        Request r = makeRequest(kVendorOut, request, static_cast<uint16_t>(i), m_dfu.interfaceNumber, kCustomBlockSize,
                                bytes + i * kCustomBlockSize);
        if (!sendRequest(nullptr, r))
            return false;
    }
    const uint32_t rest = length - fullBlocks * kCustomBlockSize;
    uint8_t* restData = rest != 0 ? bytes + fullBlocks * kCustomBlockSize : nullptr;
    Request last = makeRequest(kVendorOut, request, static_cast<uint16_t>(fullBlocks), m_dfu.interfaceNumber,
                               static_cast<uint16_t>(rest), restData);
    return sendRequest(nullptr, last);
}

bool DFUDevice::getCustomImageVersion(uint8_t imageIndex, unsigned& version)
{
    uint8_t reply[2] = {};
    const auto image = static_cast<uint16_t>(kCustomImageBase + imageIndex);
    Request r = makeRequest(kVendorDeviceIn, kCustomImageVersion, 0, image, sizeof(reply), reply);
    if (!sendRequest(nullptr, r) || r.transferred < sizeof(reply))
        return false;
    version = static_cast<unsigned>(reply[0]) | static_cast<unsigned>(reply[1]) << 8;
    return true;
}

}  // namespace QV::DVK2
