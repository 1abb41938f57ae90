// Test helpers for DFUDevice: a device whose control transfers follow a script of expected setup
// packets and canned replies, an injected sleep that records every wait, and a captured trace.
#pragma once

#include "DVK2/DFUDevice.h"
#include "DVK2/Logging.h"
#include "DVK2/Sleep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace QV::DVK2::Testing {

constexpr USBDevice::Status kStall = static_cast<USBDevice::Status>(0xE000404F);  // "Pipe has stalled"

// One setup packet as the device received it, with the data of an OUT transfer.
struct tSetup {
    uint8_t bmRequestType = 0;
    uint8_t bRequest = 0;
    uint16_t wValue = 0;
    uint16_t wIndex = 0;
    uint16_t wLength = 0;
    std::vector<uint8_t> data;

    bool sameSetup(const tSetup& o) const
    {
        return bmRequestType == o.bmRequestType && bRequest == o.bRequest && wValue == o.wValue && wIndex == o.wIndex &&
               wLength == o.wLength;
    }
};

inline std::ostream& operator<<(std::ostream& out, const tSetup& s)
{
    char text[96];
    std::snprintf(text, sizeof text, "{%02X %02X wValue %u wIndex %u wLength %u}", s.bmRequestType, s.bRequest,
                  s.wValue, s.wIndex, s.wLength);
    return out << text;
}

// The device's answer: a status and, for an IN transfer, the bytes it sends.
struct tReply {
    USBDevice::Status status = USBDevice::eStatusSuccess;
    std::vector<uint8_t> data;
};

struct tExchange {
    tSetup expected;
    tReply reply;
};

// Setup packets of the requests under test.
inline tSetup dnload(uint16_t block, uint16_t length, uint16_t interface = 0)
{
    return {0x21, 0x01, block, interface, length, {}};
}
inline tSetup getStatus(uint16_t interface = 0) { return {0xA1, 0x03, 0, interface, 6, {}}; }
inline tSetup getState(uint16_t interface = 0) { return {0xA1, 0x05, 0, interface, 1, {}}; }
inline tSetup classOut(uint8_t request, uint16_t value = 0, uint16_t interface = 0)
{
    return {0x21, request, value, interface, 0, {}};
}

// Replies.
inline tReply ok() { return {}; }
inline tReply failed(USBDevice::Status status = kStall) { return {status, {}}; }
inline tReply status(uint8_t bStatus, uint8_t bState, uint32_t pollMs = 0)
{
    return {0,
            {bStatus, static_cast<uint8_t>(pollMs), static_cast<uint8_t>(pollMs >> 8),
             static_cast<uint8_t>(pollMs >> 16), bState, 0}};
}
inline tReply state(uint8_t bState) { return {0, {bState}}; }

// A DFUDevice whose transfers are answered by a script, then by `fallback` (if set). A request
// that does not match the script's next setup packet fails the test and the transfer.
class ScriptedDFUDevice : public DFUDevice {
public:
    // Stands for a connection to a device whose descriptors gave `dfu`.
    void pretendConnected(const DFU::tInterfaceInfo& dfu, const USBDeviceInfo& identity = {})
    {
        m_connected = true;
        m_info = identity;
        setInterfaceInfo(dfu);
    }

    void expect(const tSetup& setup, const tReply& reply) { m_script.push_back({setup, reply}); }

    Status controlTransfer(Request& request) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        tSetup received{request.bmRequestType, request.bRequest, request.wValue, request.wIndex, request.wLength, {}};
        const bool in = (request.bmRequestType & 0x80) != 0;
        if (!in && request.wLength != 0) {
            const auto* bytes = static_cast<const uint8_t*>(request.pData);
            received.data.assign(bytes, bytes + request.wLength);
        }
        sent.push_back(received);

        tReply reply;
        if (!m_script.empty()) {
            tExchange next = m_script.front();
            m_script.pop_front();
            if (!received.sameSetup(next.expected)) {
                ADD_FAILURE() << "request " << sent.size() << ": expected " << next.expected << ", got " << received;
                return kStall;
            }
            reply = next.reply;
        } else if (fallback) {
            reply = fallback(received);
        } else {
            ADD_FAILURE() << "request " << sent.size() << " past the end of the script: " << received;
            return kStall;
        }
        if (reply.status != eStatusSuccess)
            return reply.status;
        const size_t replied = std::min<size_t>(reply.data.size(), request.wLength);
        if (in && replied != 0)
            std::memcpy(request.pData, reply.data.data(), replied);
        request.transferred = in ? static_cast<uint32_t>(replied) : request.wLength;
        return eStatusSuccess;
    }

    size_t unusedExchanges() const { return m_script.size(); }

    std::vector<tSetup> sent;
    std::function<tReply(const tSetup&)> fallback;

private:
    std::mutex m_lock;
    std::deque<tExchange> m_script;
};

inline DFU::tInterfaceInfo updateMode(uint16_t transferSize, uint8_t attributes = DFU::kAttributeManifestationTolerant,
                                      uint16_t detachTimeOut = 1000, uint16_t interface = 0)
{
    return {DFUDevice::eModeUpdate, attributes, detachTimeOut, transferSize, interface};
}

// Records every wait instead of sleeping; restores the real sleep when it goes.
class SleepRecorder {
public:
    SleepRecorder()
    {
        setSleepFunction([this](std::chrono::nanoseconds d) {
            std::lock_guard<std::mutex> lock(m_lock);
            m_waits.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(d));
        });
    }
    ~SleepRecorder() { setSleepFunction(SleepFunction()); }

    std::vector<std::chrono::milliseconds> waits()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_waits;
    }

private:
    std::mutex m_lock;
    std::vector<std::chrono::milliseconds> m_waits;
};

// Sends the library's trace to a string with level-1 lines of "DFUDevice" enabled (or not).
class TraceCapture {
public:
    explicit TraceCapture(bool detail)
        : m_level(Logging::detail::__reportLevelAsUInt), m_categories(Logging::allowedCategories),
          m_streams(Logging::destinationStream)
    {
        Logging::detail::__reportLevelAsUInt = detail ? Logging::eLevelDetail : Logging::eLevelError;
        Logging::allowedCategories = {"DFUDevice"};
        Logging::destinationStream[Logging::detail::__reportLevelAsUInt] = &m_text;
    }
    ~TraceCapture()
    {
        Logging::destinationStream = m_streams;
        Logging::detail::__reportLevelAsUInt = m_level;
        Logging::allowedCategories = m_categories;
    }
    std::string text() const { return m_text.str(); }

private:
    uint32_t m_level;
    std::set<std::string> m_categories;
    std::array<std::ostream*, 4> m_streams;
    std::ostringstream m_text;
};

}  // namespace QV::DVK2::Testing
