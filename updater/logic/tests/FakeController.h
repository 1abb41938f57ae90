// A DFUDevice standing for the controller without USB: a small model that answers the requests of
// an update (the custom image writes and version read, the DFU download and its manifestation,
// the resets) and keeps what it received, with knobs for failures and a hook that may block.
#pragma once

#include "DVK2/DFUDevice.h"
#include "DVK2/Sleep.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace QV::Testing {

struct tSetup {
    uint8_t bmRequestType = 0;
    uint8_t bRequest = 0;
    uint16_t wValue = 0;
    uint16_t wLength = 0;
};

class FakeController : public DVK2::DFUDevice {
public:
    static constexpr Status kStall = static_cast<Status>(0xE000404F);

    explicit FakeController(bool* destroyed = nullptr) : m_destroyed(destroyed) {}
    ~FakeController() override
    {
        if (m_destroyed != nullptr)
            *m_destroyed = true;
    }

    // Stands for a connection in application mode (product id 0x1300) or update mode (0x1302).
    void plugIn(uint8_t mode, uint16_t version,
                uint8_t attributes = DVK2::DFU::kAttributeManifestationTolerant | DVK2::DFU::kAttributeWillDetach)
    {
        m_connected = true;
        m_info.vendorId = 0x5644;
        m_info.productId = mode == eModeUpdate ? 0x1302 : 0x1300;
        m_info.version = version;
        m_info.manufacturer = "Orvendal";
        m_info.product = "Vardolin Studio";
        m_info.serialNumber = "VS-000123";
        setInterfaceInfo({mode, attributes, 1000, 4096, 0});
    }

    Status controlTransfer(Request& r) override
    {
        const tSetup setup{r.bmRequestType, r.bRequest, r.wValue, r.wLength};
        if (onRequest)
            onRequest(setup);
        std::lock_guard<std::mutex> lock(m_lock);
        sent.push_back(setup);
        if (failRequest && failRequest(setup))
            return kStall;
        const auto* out = static_cast<const uint8_t*>(r.pData);
        auto* in = static_cast<uint8_t*>(r.pData);
        r.transferred = r.wLength;
        if (r.bmRequestType == 0xC0 && r.bRequest == 0xB3) {
            if (!auxiliaryVersion || r.wLength < 2)
                return kStall;
            in[0] = static_cast<uint8_t>(*auxiliaryVersion);
            in[1] = static_cast<uint8_t>(*auxiliaryVersion >> 8);
            r.transferred = 2;
            return eStatusSuccess;
        }
        if (r.bmRequestType == 0x41) {
            std::vector<uint8_t>& image = customImages[static_cast<uint8_t>(r.bRequest - 0x1C)];
            image.insert(image.end(), out, out + r.wLength);
            return eStatusSuccess;
        }
        if (r.bmRequestType == 0x21 && r.bRequest == 0x01) {
            mainImage.insert(mainImage.end(), out, out + r.wLength);
            m_manifesting = r.wLength == 0;
            m_polled = false;
            return eStatusSuccess;
        }
        if (r.bmRequestType == 0xA1 && r.bRequest == 0x03) {
            // Busy first, when asked to, so that every block has a poll wait.
            const bool busy = busyPollMs != 0 && !std::exchange(m_polled, true);
            const uint8_t reply[6] = {0, busyPollMs, 0, 0, busy ? DVK2::DFU::eStateDnBusy : DVK2::DFU::eStateDnloadIdle,
                                      0};
            std::memcpy(in, reply, sizeof reply);
            return eStatusSuccess;
        }
        if (r.bmRequestType == 0xA1 && r.bRequest == 0x05) {
            in[0] = m_manifesting ? DVK2::DFU::eStateManifestWaitReset : DVK2::DFU::eStateDfuIdle;
            return eStatusSuccess;
        }
        if (r.bmRequestType == 0x21)  // detach, abort, the XMOS resets
            return eStatusSuccess;
        ADD_FAILURE() << "unexpected request " << int(r.bmRequestType) << "/" << int(r.bRequest);
        return kStall;
    }

    std::vector<tSetup> requests()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return sent;
    }
    size_t count(uint8_t bmRequestType, uint8_t bRequest)
    {
        size_t n = 0;
        for (const tSetup& s : requests())
            n += s.bmRequestType == bmRequestType && s.bRequest == bRequest;
        return n;
    }

    std::optional<unsigned> auxiliaryVersion;
    uint8_t busyPollMs = 0;                          // non-zero: the first GETSTATUS after each block answers dfuDNBUSY
    std::function<bool(const tSetup&)> failRequest;  // true: the request stalls
    std::function<void(const tSetup&)> onRequest;    // called first, outside the model's lock
    std::map<uint8_t, std::vector<uint8_t>> customImages;
    std::vector<uint8_t> mainImage;
    std::vector<tSetup> sent;

private:
    std::mutex m_lock;
    bool m_manifesting = false;
    bool m_polled = false;
    bool* m_destroyed;
};

// Replaces the real sleep for the life of the object.
class SleepOverride {
public:
    explicit SleepOverride(DVK2::SleepFunction sleep) { DVK2::setSleepFunction(std::move(sleep)); }
    ~SleepOverride() { DVK2::setSleepFunction(DVK2::SleepFunction()); }
};

}  // namespace QV::Testing
