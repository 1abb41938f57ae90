// The DFU 1.1 state machine of the simulated controller.
//
// Run-time (application mode), DFU requests on interface 1:
//
//   event \ state     | appIDLE                                  | appDETACH
//   ------------------+------------------------------------------+------------------------------
//   DFU_DETACH        | appDETACH; bitWillDetach: re-enumerates  | stall, appIDLE
//                     | in update mode, else back to appIDLE     |
//                     | after min(wValue, wDetachTimeOut) ms     |
//   DFU_GETSTATUS     | appIDLE                                  | appDETACH
//   DFU_GETSTATE      | appIDLE                                  | appDETACH
//   XMOS 0xF2 / 0xF3  | re-enumerates in update / application mode, in either state
//   other DFU request | stall                                    | stall, appIDLE
//   detach time-out   | -                                        | appIDLE
//   USB reset         | appIDLE, stays on the bus                | re-enumerates in update mode
//
// DFU mode (update mode), DFU requests on interface 0. "S" = stall, dfuERROR with errSTALLEDPKT;
// "-" = unchanged.
//
//   event \ state      | dfuIDLE     | DNLOAD-SYNC | DNBUSY    | DNLOAD-IDLE   | MANIFEST-SYNC | MANIFEST  | WAIT-RESET | dfuERROR
//   -------------------+-------------+-------------+-----------+---------------+---------------+-----------+------------+----------
//   DNLOAD, data (1)   | DNLOAD-SYNC | S           | S         | DNLOAD-SYNC   | S             | S         | S          | stall
//   DNLOAD, empty      | S           | S           | S         | MANIFEST-SYNC (2) | S         | S         | S          | stall
//   GETSTATUS          | -           | DNBUSY (3)  | - (4)     | -             | MANIFEST (5)  | - (4)     | -          | -
//                      |             | DNLOAD-IDLE |           |               | dfuIDLE (6)   |           |            |
//   GETSTATE           | -           | -           | - (4)     | -             | -             | - (4)     | -          | -
//   CLRSTATUS          | S           | S           | S         | S             | S             | S         | S          | dfuIDLE, OK
//   ABORT              | -           | S           | S         | dfuIDLE (7)   | S             | S         | S          | stall
//   UPLOAD             | S (8)       | S           | S         | S             | S             | S         | S          | stall
//   busy time over     | -           | -           | DNLOAD-SYNC | -           | -             | -         | -          | -
//   manifestation over | -           | -           | -         | -             | -             | (9)       | -          | -
//   DETACH             | bitWillDetach: re-enumerates as application; else S -- in every state
//   XMOS 0xF2 / 0xF3   | re-enumerates in update / application mode, in every state
//   USB reset          | re-enumerates as application (the application is always valid), in every state
//
//   (1) wLength at most wTransferSize and wValue the next block number (0 from dfuIDLE, which starts
//       a new image); a wrong number stalls with errADDRESS.
//   (2) The image is complete: when it equals the expected one, the new bcdDevice is reported from the
//       next enumeration as application on.
//   (3) dfuDNBUSY with bwPollTimeout while the block keeps the device busy (bwPollTimeout > 0, or busy
//       for ever), else dfuDNLOAD-IDLE; dfuERROR with the configured status for the faulty block.
//   (4) Lenient where DFU 1.1 would stall: the state is answered, with the poll time still to wait.
//   (5) The first poll starts the manifestation, bwPollTimeout = its duration; dfuERROR with the
//       configured status when the fault is set at manifestation.
//   (6) The manifestation of a tolerant device is over.
//   (7) Abandons the image.
//   (8) With bitCanUpload an empty answer (the upload ends at once) and dfuIDLE stays.
//   (9) Tolerant: MANIFEST-SYNC. Not tolerant: MANIFEST-WAIT-RESET, and the device restarts by itself:
//       it leaves the bus and re-enumerates as application after the re-enumeration delay.
//   Time-driven transitions are applied when the next request arrives (refreshLocked), except the
//   ones that act on the bus (detach time-out, end of a non-tolerant manifestation): clock tasks.

#include "qvsim/model/ControllerModel.h"

#include "qvsim/model/Descriptors.h"

#include <algorithm>
#include <limits>

namespace QV::SIM {

namespace {

constexpr Clock::Duration kNever = Clock::Duration::max();

std::uint32_t toPollTimeoutMs(Clock::Duration duration)
{
    if (duration <= Clock::Duration::zero())
        return 0;
    // Rounded up, and within the 24 bits of bwPollTimeout.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(duration).count();
    return static_cast<std::uint32_t>(std::min<long long>(ms, 0xFFFFFF));
}

}  // namespace

tControlReply ControllerModel::dfuRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData, Duration now)
{
    // The XMOS resets restart the device whatever its mode and state.
    if (setup.bRequest == REQ::kXmosResetIntoDfu || setup.bRequest == REQ::kXmosResetFromDfu) {
        if (setup.bmRequestType != 0x21 || setup.wLength != 0)
            return {eOutcome::Stalled, {}};
        reenumerateLocked(setup.bRequest == REQ::kXmosResetIntoDfu ? eMode::Update : eMode::Application, now);
        return {eOutcome::Answered, {}};
    }
    if (m_mode == eMode::Application)
        return dfuRunTimeRequestLocked(setup, now);
    return dfuModeRequestLocked(setup, outData, now);
}

tControlReply ControllerModel::dfuRunTimeRequestLocked(const tSetupPacket& setup, Duration now)
{
    const auto stall = [this]() -> tControlReply {
        m_state = DFU::eAppIdle;  // appDETACH falls back on any unexpected request
        return {eOutcome::Stalled, {}};
    };

    if (setup.bmRequestType == 0xA1 && setup.bRequest == DFU::eGetStatus) {
        std::vector<std::uint8_t> data = statusReplyLocked(0);
        data.resize(std::min<std::size_t>(data.size(), setup.wLength));
        return {eOutcome::Answered, std::move(data)};
    }
    if (setup.bmRequestType == 0xA1 && setup.bRequest == DFU::eGetState) {
        std::vector<std::uint8_t> data{m_state};
        data.resize(std::min<std::size_t>(data.size(), setup.wLength));
        return {eOutcome::Answered, std::move(data)};
    }
    if (setup.bmRequestType == 0x21 && setup.bRequest == DFU::eDetach && setup.wLength == 0 &&
        m_state == DFU::eAppIdle) {
        m_state = DFU::eAppDetach;
        if (m_config.dfuAttributes & DFU::kWillDetach) {
            reenumerateLocked(eMode::Update, now);
        } else {
            // Waits for a USB reset; without one it returns to appIDLE after the detach time-out.
            const auto timeout = std::chrono::milliseconds(std::min(setup.wValue, m_config.detachTimeOutMs));
            const unsigned generation = ++m_generation;
            std::weak_ptr<ControllerModel> weak = weak_from_this();
            m_clock.schedule(now + timeout, [weak, generation] {
                auto self = weak.lock();
                if (!self)
                    return;
                std::lock_guard<std::mutex> lock(self->m_mutex);
                if (self->m_generation == generation && self->m_state == DFU::eAppDetach)
                    self->m_state = DFU::eAppIdle;
            });
        }
        return {eOutcome::Answered, {}};
    }
    return stall();
}

tControlReply ControllerModel::dfuModeRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData,
                                                    Duration now)
{
    const std::uint8_t state = m_state;
    const bool in = setup.bmRequestType == 0xA1;
    const bool out = setup.bmRequestType == 0x21;

    if (in && setup.bRequest == DFU::eGetStatus) {
        tControlReply reply = dfuStatusLocked(now);
        reply.data.resize(std::min<std::size_t>(reply.data.size(), setup.wLength));
        return reply;
    }
    if (in && setup.bRequest == DFU::eGetState) {
        std::vector<std::uint8_t> data{state};
        data.resize(std::min<std::size_t>(data.size(), setup.wLength));
        return {eOutcome::Answered, std::move(data)};
    }
    if (out && setup.bRequest == DFU::eDetach && setup.wLength == 0 && (m_config.dfuAttributes & DFU::kWillDetach)) {
        reenumerateLocked(eMode::Application, now);
        return {eOutcome::Answered, {}};
    }
    if (out && setup.bRequest == DFU::eDnload)
        return dfuDownloadLocked(setup, outData);
    if (out && setup.bRequest == DFU::eClrStatus && setup.wLength == 0 && state == DFU::eDfuError) {
        m_state = DFU::eDfuIdle;
        m_status = DFU::eOk;
        return {eOutcome::Answered, {}};
    }
    if (out && setup.bRequest == DFU::eAbort && setup.wLength == 0 &&
        (state == DFU::eDfuIdle || state == DFU::eDnloadIdle || state == DFU::eUploadIdle)) {
        m_state = DFU::eDfuIdle;
        m_nextBlock = 0;
        m_lastBlock = -1;
        return {eOutcome::Answered, {}};
    }
    if (in && setup.bRequest == DFU::eUpload && state == DFU::eDfuIdle && (m_config.dfuAttributes & DFU::kCanUpload))
        return {eOutcome::Answered, {}};  // nothing to upload: a short (empty) frame ends it
    return stallIntoErrorLocked(DFU::eErrStalledPacket);
}

tControlReply ControllerModel::dfuDownloadLocked(const tSetupPacket& setup, const std::uint8_t* outData)
{
    if (setup.wLength > m_config.transferSize)
        return stallIntoErrorLocked(DFU::eErrStalledPacket);

    if (setup.wLength == 0) {
        // The zero-length request ends the image; its block number is not checked.
        if (m_state != DFU::eDnloadIdle)
            return stallIntoErrorLocked(DFU::eErrStalledPacket);
        if (m_mainImage == m_config.expectedMainImage)
            m_pendingMainVersion = m_config.updatedMainVersion;
        m_state = DFU::eManifestSync;
        m_manifested = false;
        return {eOutcome::Answered, {}};
    }

    if (m_state == DFU::eDfuIdle) {
        m_mainImage.clear();
        m_nextBlock = 0;
    } else if (m_state != DFU::eDnloadIdle) {
        return stallIntoErrorLocked(DFU::eErrStalledPacket);
    }
    if (setup.wValue != m_nextBlock)
        return stallIntoErrorLocked(DFU::eErrAddress);

    m_mainImage.insert(m_mainImage.end(), outData, outData + setup.wLength);
    m_lastBlock = setup.wValue;
    m_nextBlock = static_cast<std::uint16_t>(setup.wValue + 1);
    m_blockSettled = false;
    m_state = DFU::eDnloadSync;
    return {eOutcome::Answered, {}};
}

tControlReply ControllerModel::dfuStatusLocked(Duration now)
{
    const tFaults& faults = m_config.faults;
    const auto failsHere = [&](int block) { return faults.statusError && faults.statusError->block == block; };

    switch (m_state) {
    case DFU::eDnloadSync:
        if (failsHere(m_lastBlock)) {
            m_state = DFU::eDfuError;
            m_status = faults.statusError->status;
        } else if (!m_blockSettled && (faults.busyForever || m_config.pollTimeoutMs > 0)) {
            m_state = DFU::eDnBusy;
            m_busyUntil = faults.busyForever ? kNever : now + std::chrono::milliseconds(m_config.pollTimeoutMs);
            return {eOutcome::Answered, statusReplyLocked(m_config.pollTimeoutMs)};
        } else {
            m_state = DFU::eDnloadIdle;
        }
        break;
    case DFU::eDnBusy:
        return {eOutcome::Answered,
                statusReplyLocked(faults.busyForever ? m_config.pollTimeoutMs : toPollTimeoutMs(m_busyUntil - now))};
    case DFU::eManifestSync:
        if (failsHere(tStatusFault::kAtManifestation)) {
            m_state = DFU::eDfuError;
            m_status = faults.statusError->status;
        } else if (!m_manifested) {
            startManifestationLocked(now);
            return {eOutcome::Answered, statusReplyLocked(toPollTimeoutMs(m_config.manifestationTime))};
        } else {
            m_state = DFU::eDfuIdle;
        }
        break;
    case DFU::eManifest:
        return {eOutcome::Answered,
                statusReplyLocked(faults.stuckInManifest ? toPollTimeoutMs(m_config.manifestationTime)
                                                         : toPollTimeoutMs(m_manifestDoneAt - now))};
    default: break;
    }
    return {eOutcome::Answered, statusReplyLocked(0)};
}

void ControllerModel::startManifestationLocked(Duration now)
{
    m_state = DFU::eManifest;
    if (m_config.faults.stuckInManifest) {
        m_manifestDoneAt = kNever;
        return;
    }
    m_manifestDoneAt = now + m_config.manifestationTime;
    if (m_config.dfuAttributes & DFU::kManifestationTolerant)
        return;  // back to MANIFEST-SYNC when next asked (refreshLocked)

    // Not tolerant: once the image is in place the device restarts by itself as application.
    const unsigned generation = m_generation;
    std::weak_ptr<ControllerModel> weak = weak_from_this();
    m_clock.schedule(m_manifestDoneAt, [weak, generation] {
        auto self = weak.lock();
        if (!self)
            return;
        std::lock_guard<std::mutex> lock(self->m_mutex);
        if (self->m_generation != generation || self->m_mode != eMode::Update ||
            (self->m_state != DFU::eManifest && self->m_state != DFU::eManifestWaitReset))
            return;
        self->m_state = DFU::eManifestWaitReset;
        self->reenumerateLocked(eMode::Application, self->m_clock.now());
    });
}

void ControllerModel::refreshLocked(Duration now)
{
    if (m_mode != eMode::Update)
        return;
    if (m_state == DFU::eDnBusy && now >= m_busyUntil) {
        m_state = DFU::eDnloadSync;
        m_blockSettled = true;
    }
    if (m_state == DFU::eManifest && now >= m_manifestDoneAt) {
        if (m_config.dfuAttributes & DFU::kManifestationTolerant) {
            m_state = DFU::eManifestSync;
            m_manifested = true;
        } else {
            m_state = DFU::eManifestWaitReset;
        }
    }
}

tControlReply ControllerModel::stallIntoErrorLocked(std::uint8_t status)
{
    // dfuERROR keeps the status that brought it there.
    if (m_state != DFU::eDfuError) {
        m_state = DFU::eDfuError;
        m_status = status;
    }
    return {eOutcome::Stalled, {}};
}

std::vector<std::uint8_t> ControllerModel::statusReplyLocked(std::uint32_t pollTimeoutMs) const
{
    std::vector<std::uint8_t> reply{m_status,
                                    static_cast<std::uint8_t>(pollTimeoutMs & 0xFF),
                                    static_cast<std::uint8_t>((pollTimeoutMs >> 8) & 0xFF),
                                    static_cast<std::uint8_t>((pollTimeoutMs >> 16) & 0xFF),
                                    m_state,
                                    0};  // iString
    reply.resize(std::min<std::size_t>(m_config.faults.getStatusLength, reply.size()));
    return reply;
}

}  // namespace QV::SIM
