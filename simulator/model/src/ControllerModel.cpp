#include "qvsim/model/ControllerModel.h"

#include "qvsim/model/Descriptors.h"

#include <algorithm>

namespace QV::SIM {

const char* outcomeName(eOutcome outcome)
{
    switch (outcome) {
    case eOutcome::Answered: return "answered";
    case eOutcome::Stalled: return "stalled";
    case eOutcome::NeverAnswered: return "never answered";
    case eOutcome::Absent: return "absent";
    }
    return "?";
}

namespace {

tControlReply answered(std::vector<std::uint8_t> data = {}) { return {eOutcome::Answered, std::move(data)}; }

tControlReply stalled() { return {eOutcome::Stalled, {}}; }

// A device answers at most wLength bytes.
tControlReply answeredUpTo(std::vector<std::uint8_t> data, std::uint16_t wLength)
{
    if (data.size() > wLength)
        data.resize(wLength);
    return answered(std::move(data));
}

}  // namespace

std::shared_ptr<ControllerModel> ControllerModel::create(ControllerConfig config, Clock& clock)
{
    return std::make_shared<ControllerModel>(tPrivate{}, std::move(config), clock);
}

ControllerModel::ControllerModel(tPrivate, ControllerConfig config, Clock& clock)
    : m_config(std::move(config)), m_clock(clock), m_mode(m_config.initialMode), m_serialNumber(m_config.serialNumber),
      m_mainVersion(m_config.mainVersion), m_auxVersion(m_config.auxVersion),
      m_state(m_mode == eMode::Application ? DFU::eAppIdle : DFU::eDfuIdle),
      m_stallSeen(m_config.faults.stall.size(), 0), m_neverAnswerSeen(m_config.faults.neverAnswer.size(), 0)
{}

// ---- the bus side

void ControllerModel::setBusListener(std::function<void(const tBusRequest&)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void ControllerModel::setRequestObserver(std::function<void(const tSetupPacket&)> observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requestObserver = std::move(observer);
}

tControlReply ControllerModel::handleControl(const tSetupPacket& setup, const std::uint8_t* outData)
{
    tControlReply reply;
    std::function<void(const tSetupPacket&)> observer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        reply = handleControlLocked(setup, outData);
        observer = m_requestObserver;
    }
    if (observer)
        observer(setup);
    return reply;
}

tControlReply ControllerModel::handleControlLocked(const tSetupPacket& setup, const std::uint8_t* outData)
{
    const Duration now = m_clock.now();
    refreshLocked(now);

    const eMode mode = m_mode;
    tControlReply reply;
    if (!m_onBus) {
        reply.outcome = eOutcome::Absent;
    } else {
        // Both lists count every matching request, whichever of them acts on it.
        const bool neverAnswer = matchesFaultLocked(m_config.faults.neverAnswer, m_neverAnswerSeen, setup);
        const bool stall = matchesFaultLocked(m_config.faults.stall, m_stallSeen, setup);
        if (neverAnswer) {
            reply.outcome = eOutcome::NeverAnswered;
        } else if (stall) {
            // A DFU device that stalls a request of its DFU interface reports it in its status.
            if (m_mode == eMode::Update && isDfuRequestLocked(setup))
                reply = stallIntoErrorLocked(DFU::eErrStalledPacket);
            else
                reply = stalled();
        } else {
            reply = dispatchLocked(setup, outData, now);
        }
    }

    std::size_t moved = 0;
    if (reply.outcome == eOutcome::Answered)
        moved = setup.isDeviceToHost() ? reply.data.size() : setup.wLength;
    m_log.push_back({now, mode, setup.toBytes(), moved, reply.outcome});
    return reply;
}

bool ControllerModel::busReset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Duration now = m_clock.now();
    refreshLocked(now);
    if (!m_onBus)
        return false;
    if (m_mode == eMode::Application) {
        // DFU 1.1: a reset in appDETACH starts the DFU mode; otherwise the application just restarts.
        if (m_state == DFU::eAppDetach) {
            reenumerateLocked(eMode::Update, now);
            return true;
        }
        ++m_generation;  // a pending detach time-out no longer applies
        m_state = DFU::eAppIdle;
        m_configuration = 1;
        return false;
    }
    // A reset in DFU mode starts the (valid) application, whatever the DFU state.
    reenumerateLocked(eMode::Application, now);
    return true;
}

bool ControllerModel::onBus() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_onBus;
}

eMode ControllerModel::mode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mode;
}

tUsbIdentity ControllerModel::identity() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    tUsbIdentity identity;
    identity.mode = m_mode;
    identity.vendorId = m_config.vendorId;
    identity.productId = m_mode == eMode::Application ? m_config.productId : m_config.updateProductId();
    identity.bcdDevice = m_mainVersion;
    const bool withStrings = !m_config.faults.noStrings;
    if (withStrings) {
        identity.manufacturer = m_config.manufacturer;
        identity.product = m_config.product;
        identity.serialNumber = m_serialNumber;
    }
    identity.descriptors = Descriptors::device(m_config, m_mode, m_mainVersion, withStrings);
    const std::vector<std::uint8_t> configuration = Descriptors::configuration(m_config, m_mode);
    identity.descriptors.insert(identity.descriptors.end(), configuration.begin(), configuration.end());
    return identity;
}

// ---- observation

std::vector<tLoggedRequest> ControllerModel::requestLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void ControllerModel::clearRequestLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

std::uint8_t ControllerModel::dfuState() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // The state as a request arriving now would find it: time-driven transitions are applied lazily.
    const_cast<ControllerModel*>(this)->refreshLocked(m_clock.now());
    return m_state;
}

std::uint8_t ControllerModel::dfuStatus() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

std::uint16_t ControllerModel::mainVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mainVersion;
}

std::uint16_t ControllerModel::auxVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_auxVersion;
}

std::vector<std::uint8_t> ControllerModel::receivedMainImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mainImage;
}

std::vector<std::uint8_t> ControllerModel::receivedAuxImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_auxImage;
}

unsigned ControllerModel::reenumerations() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reenumerations;
}

// ---- requests

bool ControllerModel::matchesFaultLocked(const std::vector<tRequestMatch>& matches, std::vector<unsigned>& seen,
                                         const tSetupPacket& setup)
{
    bool hit = false;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        if (matches[i].bmRequestType != setup.bmRequestType || matches[i].bRequest != setup.bRequest)
            continue;
        ++seen[i];
        if (matches[i].occurrence == 0 || matches[i].occurrence == seen[i])
            hit = true;
    }
    return hit;
}

bool ControllerModel::hasInterfaceLocked(std::uint16_t number) const
{
    return number < Descriptors::interfaceCount(m_mode);
}

bool ControllerModel::isDfuRequestLocked(const tSetupPacket& setup) const
{
    if (m_mode == eMode::Application && m_config.faults.noDfuRunTime)
        return false;
    return (setup.bmRequestType & 0x7F) == 0x21 && setup.wIndex == Descriptors::dfuInterface(m_mode);
}

tControlReply ControllerModel::dispatchLocked(const tSetupPacket& setup, const std::uint8_t* outData, Duration now)
{
    switch (setup.bmRequestType & 0x60) {
    case 0x00: return standardRequestLocked(setup);
    case 0x20:
        if (isDfuRequestLocked(setup))
            return dfuRequestLocked(setup, outData, now);
        return stalled();  // the HID interface has no class requests that matter here
    case 0x40: return vendorRequestLocked(setup, outData);
    default: return stalled();
    }
}

tControlReply ControllerModel::standardRequestLocked(const tSetupPacket& setup)
{
    const std::uint8_t recipient = setup.bmRequestType & 0x1F;
    const bool isEndpoint = setup.wIndex == 0x00 || setup.wIndex == 0x80 ||
                            (m_mode == eMode::Application && setup.wIndex == Descriptors::kHidInterruptEndpoint);
    switch (setup.bRequest) {
    case REQ::kGetDescriptor:
        if (setup.isDeviceToHost() && (recipient == 0 || recipient == 1))
            return descriptorRequestLocked(setup);
        return stalled();
    case REQ::kGetStatus:
        // Bus powered, no remote wake-up, no endpoint halted.
        if (!setup.isDeviceToHost() || setup.wValue != 0 || (recipient == 1 && !hasInterfaceLocked(setup.wIndex)) ||
            (recipient == 2 && !isEndpoint) || recipient > 2)
            return stalled();
        return answeredUpTo({0, 0}, setup.wLength);
    case REQ::kClearFeature:
    case REQ::kSetFeature:
        // Only ENDPOINT_HALT on an endpoint the configuration has.
        if (setup.bmRequestType == 0x02 && setup.wValue == 0 && isEndpoint)
            return answered();
        return stalled();
    case REQ::kGetConfiguration:
        if (setup.bmRequestType != 0x80)
            return stalled();
        return answeredUpTo({m_configuration}, setup.wLength);
    case REQ::kSetConfiguration:
        if (setup.bmRequestType != 0x00 || setup.wValue > 1)
            return stalled();
        m_configuration = static_cast<std::uint8_t>(setup.wValue);
        return answered();
    case REQ::kGetInterface:
        if (setup.bmRequestType != 0x81 || m_configuration == 0 || !hasInterfaceLocked(setup.wIndex))
            return stalled();
        return answeredUpTo({0}, setup.wLength);
    case REQ::kSetInterface:
        if (setup.bmRequestType != 0x01 || m_configuration == 0 || !hasInterfaceLocked(setup.wIndex) ||
            setup.wValue != 0)
            return stalled();
        return answered();
    default: return stalled();
    }
}

tControlReply ControllerModel::descriptorRequestLocked(const tSetupPacket& setup)
{
    const std::uint8_t type = setup.wValue >> 8;
    const std::uint8_t index = setup.wValue & 0xFF;
    const tFaults& faults = m_config.faults;

    if ((setup.bmRequestType & 0x1F) == 1) {
        // HID class descriptors of interface 0 in application mode.
        if (m_mode != eMode::Application || setup.wIndex != 0 || index != 0)
            return stalled();
        if (type == 0x21)
            return answeredUpTo(Descriptors::hid(), setup.wLength);
        if (type == 0x22)
            return answeredUpTo(Descriptors::hidReport(), setup.wLength);
        return stalled();
    }

    switch (type) {
    case 1: {
        std::vector<std::uint8_t> device = Descriptors::device(m_config, m_mode, m_mainVersion, !faults.noStrings);
        if (faults.deviceDescriptorLength < device.size()) {
            device.resize(faults.deviceDescriptorLength);
            if (!device.empty())
                device[0] = faults.deviceDescriptorLength;  // a short descriptor says so itself
        }
        return answeredUpTo(std::move(device), setup.wLength);
    }
    case 2:
        if (index != 0)
            return stalled();
        return answeredUpTo(Descriptors::configuration(m_config, m_mode), setup.wLength);
    case 3:
        // Answered for any language id: the host asks with 0 as often as with 0x0409.
        if (faults.noStrings || faults.stallStrings)
            return stalled();
        switch (index) {
        case 0: return answeredUpTo(Descriptors::languages(), setup.wLength);
        case Descriptors::kManufacturerIndex:
            return answeredUpTo(Descriptors::string(m_config.manufacturer), setup.wLength);
        case Descriptors::kProductIndex: return answeredUpTo(Descriptors::string(m_config.product), setup.wLength);
        case Descriptors::kSerialNumberIndex: return answeredUpTo(Descriptors::string(m_serialNumber), setup.wLength);
        default: return stalled();
        }
    default: return stalled();  // a full-speed device has no qualifier; no BOS below USB 2.1
    }
}

tControlReply ControllerModel::vendorRequestLocked(const tSetupPacket& setup, const std::uint8_t* outData)
{
    constexpr std::uint8_t kAuxImage = 1;  // the only custom image the controller carries

    if (setup.bmRequestType == 0xC0 && setup.bRequest == REQ::kCustomImageVersion) {
        if (setup.wValue != 0 || setup.wIndex != REQ::kCustomImageBase + kAuxImage)
            return stalled();
        return answeredUpTo(
            {static_cast<std::uint8_t>(m_auxVersion & 0xFF), static_cast<std::uint8_t>(m_auxVersion >> 8)},
            setup.wLength);
    }

    if (setup.bmRequestType == 0x41 && setup.bRequest == REQ::kCustomImageBase + kAuxImage) {
        // Written in blocks of 256 bytes numbered from 0; a shorter block, empty included, ends the image.
        if (m_mode != eMode::Update || setup.wIndex != Descriptors::dfuInterface(m_mode) ||
            setup.wLength > REQ::kCustomImageBlockSize)
            return stalled();
        if (setup.wValue == 0) {
            m_auxImage.clear();
            m_auxNextBlock = 0;
        }
        if (setup.wValue != m_auxNextBlock)
            return stalled();
        m_auxImage.insert(m_auxImage.end(), outData, outData + setup.wLength);
        ++m_auxNextBlock;
        if (setup.wLength < REQ::kCustomImageBlockSize) {
            m_auxNextBlock = 0;
            if (m_auxImage == m_config.expectedAuxImage)
                m_auxVersion = m_config.updatedAuxVersion;
        }
        return answered();
    }
    return stalled();
}

// ---- re-enumeration

void ControllerModel::reenumerateLocked(eMode target, Duration now)
{
    ++m_generation;
    ++m_reenumerations;
    m_onBus = false;
    const unsigned generation = m_generation;
    std::weak_ptr<ControllerModel> weak = weak_from_this();

    // The device drops off the bus at once (the request that caused it is answered first) ...
    m_clock.schedule(now, [weak, generation] {
        if (auto self = weak.lock())
            self->leave(generation);
    });
    if (m_config.faults.lostReenumeration == m_reenumerations)
        return;
    // ... and enumerates again once it has restarted.
    const Duration delay = m_config.faults.lateReenumeration == m_reenumerations
                               ? m_config.faults.lateReenumerationDelay
                               : m_config.reenumerationDelay;
    m_clock.schedule(now + delay, [weak, generation, target] {
        if (auto self = weak.lock())
            self->arrive(generation, target);
    });
}

void ControllerModel::leave(unsigned generation)
{
    eMode mode;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation != m_generation)
            return;
        mode = m_mode;
    }
    notify({tBusRequest::eKind::Leave, mode});
}

void ControllerModel::arrive(unsigned generation, eMode target)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation != m_generation || m_onBus)
            return;
        m_mode = target;
        m_onBus = true;
        m_configuration = 1;
        m_status = DFU::eOk;
        m_nextBlock = 0;
        m_lastBlock = -1;
        m_manifested = false;
        m_auxNextBlock = 0;
        if (target == eMode::Application) {
            m_state = DFU::eAppIdle;
            if (m_pendingMainVersion) {
                m_mainVersion = *m_pendingMainVersion;
                m_pendingMainVersion.reset();
            }
        } else {
            m_state = DFU::eDfuIdle;
        }
        if (!m_config.faults.serialAfterReenumeration.empty())
            m_serialNumber = m_config.faults.serialAfterReenumeration;
    }
    notify({tBusRequest::eKind::Arrive, target});
}

void ControllerModel::notify(const tBusRequest& request)
{
    std::function<void(const tBusRequest&)> listener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listener = m_listener;
    }
    if (listener)
        listener(request);
}

}  // namespace QV::SIM
