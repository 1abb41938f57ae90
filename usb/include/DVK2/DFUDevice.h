// A USB device that speaks DFU 1.1 plus the XMOS reset requests and the vendor requests of the
// auxiliary (custom) image. Every operation blocks the calling thread; each request holds the
// device lock for its own duration only. Every wait goes through QV::DVK2::sleepFor.
#pragma once

#include "DVK2/USBDevice.h"
#include "DVK2/USBDeviceFilter.h"

#include <cstdint>
#include <string>

namespace QV::DVK2 {

namespace DFU {

// The 6-byte reply of DFU_GETSTATUS.
struct GetStatus {
    uint8_t bStatus = 0;
    uint32_t bwPollTimeout = 0;  // 24 bits on the wire, milliseconds
    uint8_t bState = 0;
    uint8_t iString = 0;
};

// DFU 1.1 status codes that writeImage sets itself.
enum eStatus : uint8_t {
    eStatusOK = 0,
    eStatusErrTarget = 1,    // no image to send
    eStatusErrWrite = 3,     // not in firmware-update mode
    eStatusErrUnknown = 14,  // transfer size, a failed request, a hung or failed manifestation
};

// DFU 1.1 states.
enum eState : uint8_t {
    eStateAppIdle = 0,
    eStateAppDetach = 1,
    eStateDfuIdle = 2,
    eStateDnloadSync = 3,
    eStateDnBusy = 4,
    eStateDnloadIdle = 5,
    eStateManifestSync = 6,
    eStateManifest = 7,
    eStateManifestWaitReset = 8,
    eStateUploadIdle = 9,
    eStateError = 10,
};

// bmAttributes of the functional descriptor.
constexpr uint8_t kAttributeManifestationTolerant = 0x04;
constexpr uint8_t kAttributeWillDetach = 0x08;

// The product id of a device's firmware-update mode: its application-mode id with the low bits 2.
constexpr uint16_t updateModeProductId(uint16_t productId) { return static_cast<uint16_t>((productId & 0xFFF0) | 2); }

// The DFU interface as the configuration descriptor describes it.
struct tInterfaceInfo {
    uint8_t mode = 0;             // DFUDevice::eMode
    uint8_t bmAttributes = 0;     // functional descriptor byte 2
    uint16_t wDetachTimeOut = 0;  // bytes 3-4; milliseconds
    uint16_t wTransferSize = 0;   // bytes 5-6; the download block size
    uint16_t interfaceNumber = 0;
};

}  // namespace DFU

namespace DFUClient {
// One download block.
struct Payload {
    uint16_t blockNumber = 0;
    uint16_t length = 0;
    uint8_t data[8192];
};
}  // namespace DFUClient

class DFUDevice : public USBDevice {
public:
    enum eMode : uint8_t {
        eModeNone = 0,         // no DFU interface found
        eModeApplication = 1,  // DFU run-time interface
        eModeUpdate = 2,       // DFU mode interface
    };

    // Bounds of the waits that a misbehaving device could otherwise stretch forever.
    static constexpr unsigned kMaxBusyPolls = 10000;           // GETSTATUS answers of dfuDNBUSY per block
    static constexpr unsigned kMaxBusyWaitMs = 30000;          // summed poll waits per block
    static constexpr unsigned kMaxTolerantManifestWaits = 60;  // 1 s waits in dfuMANIFEST

    DFUDevice();
    ~DFUDevice() override;

    // USBDevice::connect; true only when a DFU interface was found as well. The device stays
    // connected when only the DFU interface is missing.
    bool connect(const USBDeviceOSHandle& handle);

    // Reads the DFU interface from the configuration descriptor. False when there is no
    // descriptor (fields unchanged); true otherwise, with mode 0 when no DFU interface was found.
    bool queryDFUInfo();
    // DFU_DETACH when the device detaches by itself, else the XMOS reset into update mode.
    bool sendDFUDetach();
    // Finds the device again in firmware-update mode (product id | 2, same serial number),
    // disconnecting and waiting 2.5 s first when connected. True when connected afterwards.
    bool reconnectInDFUMode();
    // Downloads an image and follows its manifestation. On false, status.bStatus says why:
    // 1 no data, 3 not in update mode, 14 transfer size / failed request / manifestation, else
    // the device's own status.
    bool writeImage(const uint8_t* data, uint32_t length, DFU::GetStatus& status);
    // Writes a custom image in 256-byte vendor requests, then the remainder (possibly empty).
    bool writeCustom(const uint8_t* data, uint32_t length, uint8_t imageIndex);
    // Reads a custom image's 16-bit version; `version` is unchanged on failure.
    bool getCustomImageVersion(uint8_t imageIndex, unsigned& version);
    // Nothing to do in application mode; else DFU_DETACH or the XMOS reset out of update mode.
    bool returnToAPPMode();

    bool writeDFUData(const DFUClient::Payload& payload);
    // True only for a whole 6-byte reply; otherwise `status` reads errUNKNOWN in dfuERROR.
    bool getDFUStatus(DFU::GetStatus& status);
    // True only for a whole 1-byte reply; `state` is unchanged otherwise.
    bool getDFUState(uint8_t& state);
    bool sendDFUAbort();
    bool sendDFUClearStatus();
    // Brings a device in firmware-update mode back to dfuIDLE, where a download starts: one left
    // there by an interrupted update may be in the middle of a download or manifestation, or in
    // dfuERROR. Polls a busy device (within the bounds of a block's wait), clears an error, aborts
    // an unfinished transfer. False when it cannot get there.
    bool returnToDFUIdle();
    bool sendXMOSDFUResetIntoDFU();
    bool sendXMOSDFUResetFromDFU();

    uint8_t mode() const { return m_dfu.mode; }
    uint8_t attributes() const { return m_dfu.bmAttributes; }
    uint16_t detachTimeOut() const { return m_dfu.wDetachTimeOut; }
    uint16_t transferSize() const { return m_dfu.wTransferSize; }
    uint16_t interfaceNumber() const { return m_dfu.interfaceNumber; }

protected:
    void postConnect() override;
    // Takes the DFU interface fields as queryDFUInfo found them.
    void setInterfaceInfo(const DFU::tInterfaceInfo& info) { m_dfu = info; }

private:
    bool sendRequest(const char* name, Request& request);
    bool sendDetachRequest();
    bool busyWait(DFU::GetStatus& status);
    bool manifest(DFU::GetStatus& status);
    void checkManifestedDevice(const USBDeviceOSHandle& handle, uint8_t& state);

    DFU::tInterfaceInfo m_dfu;
};

// The scan callback of reconnectInDFUMode: connects `device` to the first device found whose
// serial number matches (any device when the serial number is empty).
void reconnect(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter, DFUDevice* device,
               const std::string& serialNumber);

}  // namespace QV::DVK2
