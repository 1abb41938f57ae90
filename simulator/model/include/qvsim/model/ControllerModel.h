#pragma once

#include "qvsim/model/Clock.h"
#include "qvsim/model/ControllerConfig.h"
#include "qvsim/model/SetupPacket.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace QV::SIM {

enum class eOutcome {
    Answered,       // status stage completed (data stage as in tControlReply::data)
    Stalled,        // the device stalled the request
    NeverAnswered,  // the device never completes it: the host's transfer times out
    Absent,         // the device was not on the bus (it is resetting or was lost)
};

const char* outcomeName(eOutcome outcome);

struct tControlReply {
    eOutcome outcome = eOutcome::Stalled;
    std::vector<std::uint8_t> data;  // device-to-host requests: the bytes answered, at most wLength
};

// One entry of the request log.
struct tLoggedRequest {
    Clock::Duration time;
    eMode mode;
    std::array<std::uint8_t, 8> setup;
    std::size_t dataLength;  // bytes moved by the data stage of an answered request
    eOutcome outcome;
};

// What the controller asks of the bus that hosts it. A reset is a Leave right away and, unless the
// re-enumeration is lost, an Arrive in the new mode after the re-enumeration delay.
struct tBusRequest {
    enum class eKind {
        Leave,
        Arrive
    };
    eKind kind;
    eMode mode;  // Arrive: the mode to enumerate in
};

// What the bus shows of the controller while it is on the bus.
struct tUsbIdentity {
    eMode mode = eMode::Application;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t bcdDevice = 0;
    std::string manufacturer;  // the three strings are empty for a controller without strings
    std::string product;
    std::string serialNumber;
    std::vector<std::uint8_t> descriptors;  // device descriptor followed by the configuration
};

// The software model of the controller: its descriptors in both modes, the standard, DFU 1.1, XMOS
// and vendor requests it answers, the two images it assembles from the blocks it receives, its
// re-enumerations and the faults of its configuration. Thread-safe: requests arrive on the bus's
// worker thread while clock tasks run on the clock's thread; one mutex guards the state, and the
// bus listener is always called without it, from clock tasks only.
class ControllerModel : public std::enable_shared_from_this<ControllerModel> {
    struct tPrivate {};

public:
    // `clock` must outlive the model; the model's clock tasks hold it only weakly.
    static std::shared_ptr<ControllerModel> create(ControllerConfig config, Clock& clock);
    ControllerModel(tPrivate, ControllerConfig config, Clock& clock);

    ControllerModel(const ControllerModel&) = delete;
    ControllerModel& operator=(const ControllerModel&) = delete;

    // ---- the bus side

    // Set by the bus that hosts the model; an empty function detaches it.
    void setBusListener(std::function<void(const tBusRequest&)> listener);

    // Called after every control transfer the controller received, outside the model's lock (on
    // the bus's thread); an empty function detaches it.
    void setRequestObserver(std::function<void(const tSetupPacket&)> observer);

    // One control transfer. `outData` holds setup.wLength bytes for a host-to-device request.
    tControlReply handleControl(const tSetupPacket& setup, const std::uint8_t* outData);

    // A USB port reset from the host. True when the controller leaves the bus (to come back in
    // another mode); false when it stays, with its run-time state reset.
    bool busReset();

    bool onBus() const;
    eMode mode() const;
    tUsbIdentity identity() const;

    // ---- observation, for tests and the launcher

    std::vector<tLoggedRequest> requestLog() const;
    void clearRequestLog();

    std::uint8_t dfuState() const;  // after the time-driven transitions due now
    std::uint8_t dfuStatus() const;
    std::uint16_t mainVersion() const;  // bcdDevice as the controller reports it now
    std::uint16_t auxVersion() const;
    std::vector<std::uint8_t> receivedMainImage() const;  // the last main image, complete or not
    std::vector<std::uint8_t> receivedAuxImage() const;
    unsigned reenumerations() const;  // resets so far, lost ones included

    const ControllerConfig& config() const { return m_config; }
    Clock& clock() const { return m_clock; }

private:
    using Duration = Clock::Duration;

    // ControllerModel.cpp: dispatch, standard and vendor requests, re-enumeration
    tControlReply handleControlLocked(const tSetupPacket& setup, const std::uint8_t* outData);
    tControlReply dispatchLocked(const tSetupPacket& setup, const std::uint8_t* outData, Duration now);
    tControlReply standardRequestLocked(const tSetupPacket& setup);
    tControlReply descriptorRequestLocked(const tSetupPacket& setup);
    tControlReply vendorRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData);
    bool matchesFaultLocked(const std::vector<tRequestMatch>& matches, std::vector<unsigned>& seen,
                            const tSetupPacket& setup);
    bool hasInterfaceLocked(std::uint16_t number) const;
    bool isDfuRequestLocked(const tSetupPacket& setup) const;
    void reenumerateLocked(eMode target, Duration now);
    void leave(unsigned generation);
    void arrive(unsigned generation, eMode target);
    void notify(const tBusRequest& request);

    // ControllerModelDfu.cpp: the DFU 1.1 state machine
    tControlReply dfuRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData, Duration now);
    tControlReply dfuRunTimeRequestLocked(const tSetupPacket& setup, Duration now);
    tControlReply dfuModeRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData, Duration now);
    tControlReply dfuDownloadLocked(const tSetupPacket& setup, const std::uint8_t* outData);
    tControlReply dfuStatusLocked(Duration now);
    tControlReply stallIntoErrorLocked(std::uint8_t status);
    std::vector<std::uint8_t> statusReplyLocked(std::uint32_t pollTimeoutMs) const;
    void refreshLocked(Duration now);
    void startManifestationLocked(Duration now);

    const ControllerConfig m_config;
    Clock& m_clock;

    mutable std::mutex m_mutex;
    std::function<void(const tBusRequest&)> m_listener;
    std::function<void(const tSetupPacket&)> m_requestObserver;

    eMode m_mode;
    bool m_onBus = true;
    unsigned m_generation = 0;  // bumped by every reset: tasks of an older generation do nothing
    unsigned m_reenumerations = 0;
    std::uint8_t m_configuration = 1;
    std::string m_serialNumber;
    std::uint16_t m_mainVersion;
    std::uint16_t m_auxVersion;
    std::optional<std::uint16_t> m_pendingMainVersion;  // takes effect when it next enumerates as application

    std::uint8_t m_state;
    std::uint8_t m_status = DFU::eOk;

    // main image download
    std::vector<std::uint8_t> m_mainImage;
    std::uint16_t m_nextBlock = 0;
    int m_lastBlock = -1;
    bool m_blockSettled = false;  // the last block's busy time is over
    Duration m_busyUntil{0};
    bool m_manifested = false;
    Duration m_manifestDoneAt{0};

    // auxiliary image
    std::vector<std::uint8_t> m_auxImage;
    std::uint16_t m_auxNextBlock = 0;

    std::vector<unsigned> m_stallSeen;
    std::vector<unsigned> m_neverAnswerSeen;
    std::vector<tLoggedRequest> m_log;
};

}  // namespace QV::SIM
