#include "UsbfsNode.h"

#include "qvsim/model/Descriptors.h"

#include <linux/usb/ch9.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

namespace QV::SIM {

namespace {

constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// The argument of an ioctl that passes a pointer to a record: the record, or null (EFAULT).
template <typename T>
T* resolve(UMockdevIoctlData* arg, UMockdevIoctlData** resolved = nullptr)
{
    GError* error = nullptr;
    UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(T), &error);
    if (!data) {
        g_clear_error(&error);
        return nullptr;
    }
    if (resolved)
        *resolved = data;
    return reinterpret_cast<T*>(data->data);
}

usbdevfs_urb* urbOf(UMockdevIoctlData* data) { return reinterpret_cast<usbdevfs_urb*>(data->data); }

}  // namespace

UsbfsNode::UsbfsNode(std::shared_ptr<ControllerModel> model, eMode mode, std::uint8_t deviceNumber)
    : m_model(std::move(model)), m_mode(mode), m_deviceNumber(deviceNumber), m_handler(umockdev_ioctl_base_new())
{
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(&UsbfsNode::onIoctl), this);
    g_signal_connect(m_handler, "client-vanished", G_CALLBACK(&UsbfsNode::onClientVanished), this);
}

UsbfsNode::~UsbfsNode()
{
    g_signal_handlers_disconnect_by_data(m_handler, this);
    for (auto& [client, state] : m_clients) {
        for (tUrb& urb : state.inFlight)
            g_object_unref(urb.data);
        for (tUrb& urb : state.finished)
            g_object_unref(urb.data);
    }
    g_object_unref(m_handler);
}

void UsbfsNode::disconnect()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gone = true;
    for (auto& [client, state] : m_clients) {
        while (!state.inFlight.empty()) {
            tUrb urb = state.inFlight.front();
            state.inFlight.pop_front();
            finish(client, state, urb, -ESHUTDOWN);
        }
        completeWaitingReap(client, state);
    }
}

gboolean UsbfsNode::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
{
    auto* node = static_cast<UsbfsNode*>(self);
    const tResult result =
        node->dispatch(client, umockdev_ioctl_client_get_request(client), umockdev_ioctl_client_get_arg(client));
    if (!result.deferred)
        umockdev_ioctl_client_complete(client, result.value, result.error);
    return TRUE;
}

void UsbfsNode::onClientVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
{
    auto* node = static_cast<UsbfsNode*>(self);
    std::lock_guard<std::mutex> lock(node->m_mutex);
    auto found = node->m_clients.find(client);
    if (found == node->m_clients.end())
        return;
    for (tUrb& urb : found->second.inFlight)
        g_object_unref(urb.data);
    for (tUrb& urb : found->second.finished)
        g_object_unref(urb.data);
    node->m_clients.erase(found);
}

UsbfsNode::tResult UsbfsNode::dispatch(UMockdevIoctlClient* client, unsigned long request, UMockdevIoctlData* arg)
{
    const tResult fault{-1, EFAULT};
    const tResult noDevice{-1, ENODEV};

    switch (request) {
    case USBDEVFS_SUBMITURB: return submitUrb(client, arg);
    case USBDEVFS_DISCARDURB: return discardUrb(client, arg);
    case USBDEVFS_REAPURBNDELAY: return reapUrb(client, arg, false);
    case USBDEVFS_REAPURB: return reapUrb(client, arg, true);
    default: break;
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_gone)
        return noDevice;
    tClient& state = m_clients[client];

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        auto* caps = resolve<std::uint32_t>(arg);
        if (!caps)
            return fault;
        *caps = kCapabilities;
        return {};
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: {
        // DISCONNECT_CLAIM starts with the interface number too; no kernel driver is ever bound here.
        auto* number = resolve<unsigned>(arg);
        if (!number)
            return fault;
        if (*number >= Descriptors::interfaceCount(m_mode))
            return {-1, ENOENT};
        state.claimed.insert(*number);
        return {};
    }
    case USBDEVFS_RELEASEINTERFACE: {
        auto* number = resolve<unsigned>(arg);
        if (!number)
            return fault;
        if (state.claimed.erase(*number) == 0)
            return {-1, EINVAL};
        return {};
    }
    case USBDEVFS_SETINTERFACE: {
        auto* setting = resolve<usbdevfs_setinterface>(arg);
        if (!setting)
            return fault;
        return standardRequest(0x01, REQ::kSetInterface, static_cast<std::uint16_t>(setting->altsetting),
                               static_cast<std::uint16_t>(setting->interface));
    }
    case USBDEVFS_SETCONFIGURATION: {
        auto* value = resolve<int>(arg);
        if (!value)
            return fault;
        return standardRequest(0x00, REQ::kSetConfiguration, static_cast<std::uint16_t>(*value < 0 ? 0 : *value), 0);
    }
    case USBDEVFS_CLEAR_HALT: {
        auto* endpoint = resolve<unsigned>(arg);
        if (!endpoint)
            return fault;
        return standardRequest(0x02, REQ::kClearFeature, 0, static_cast<std::uint16_t>(*endpoint));
    }
    case USBDEVFS_RESETEP: return {};
    case USBDEVFS_RESET:
        // A controller that comes back in another mode is a new device: usbfs reports ENODEV then.
        return m_model->busReset() ? noDevice : tResult{};
    case USBDEVFS_GETDRIVER: return {-1, ENODATA};
    case USBDEVFS_IOCTL: {
        auto* command = resolve<usbdevfs_ioctl>(arg);
        if (!command)
            return fault;
        if (command->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT))
            return {-1, ENODATA};  // no driver to detach
        if (command->ioctl_code == static_cast<int>(USBDEVFS_CONNECT))
            return {};
        return {-1, ENOTTY};
    }
    case USBDEVFS_CONNECTINFO: {
        auto* info = resolve<usbdevfs_connectinfo>(arg);
        if (!info)
            return fault;
        info->devnum = m_deviceNumber;
        info->slow = 0;
        return {};
    }
    case USBDEVFS_GET_SPEED: return {USB_SPEED_FULL, 0};
    default: return {-1, ENOTTY};
    }
}

UsbfsNode::tResult UsbfsNode::standardRequest(std::uint8_t bmRequestType, std::uint8_t bRequest, std::uint16_t wValue,
                                              std::uint16_t wIndex)
{
    tSetupPacket setup;
    setup.bmRequestType = bmRequestType;
    setup.bRequest = bRequest;
    setup.wValue = wValue;
    setup.wIndex = wIndex;
    switch (m_model->handleControl(setup, nullptr).outcome) {
    case eOutcome::Answered: return {};
    case eOutcome::Stalled: return {-1, EPIPE};
    case eOutcome::NeverAnswered: return {-1, ETIMEDOUT};
    case eOutcome::Absent: return {-1, ENODEV};
    }
    return {-1, EIO};
}

UsbfsNode::tResult UsbfsNode::submitUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    UMockdevIoctlData* data = nullptr;
    usbdevfs_urb* urb = resolve<usbdevfs_urb>(arg, &data);
    if (!urb)
        return {-1, EFAULT};

    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_gone)
        return {-1, ENODEV};
    tClient& state = m_clients[client];

    if (urb->type == USBDEVFS_URB_TYPE_INTERRUPT && m_mode == eMode::Application &&
        urb->endpoint == Descriptors::kHidInterruptEndpoint) {
        g_object_ref(data);
        state.inFlight.push_back({data});  // no input reports: pending until discarded
        return {};
    }
    if (urb->type != USBDEVFS_URB_TYPE_CONTROL)
        return {-1, ENOENT};
    if ((urb->endpoint & 0x7F) != 0 || urb->buffer_length < 8)
        return {-1, EINVAL};

    GError* error = nullptr;
    if (!umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length),
                                     &error)) {
        g_clear_error(&error);
        return {-1, EFAULT};
    }
    auto* buffer = static_cast<std::uint8_t*>(urb->buffer);
    std::array<std::uint8_t, 8> bytes;
    std::memcpy(bytes.data(), buffer, bytes.size());
    const tSetupPacket setup = tSetupPacket::fromBytes(bytes);
    if (setup.wLength > urb->buffer_length - 8)
        return {-1, EINVAL};

    const tControlReply reply = m_model->handleControl(setup, setup.isDeviceToHost() ? nullptr : buffer + 8);
    if (reply.outcome == eOutcome::Absent)
        return {-1, ENODEV};

    g_object_ref(data);
    const tUrb held{data};
    switch (reply.outcome) {
    case eOutcome::Answered:
        if (setup.isDeviceToHost()) {
            std::memcpy(buffer + 8, reply.data.data(), reply.data.size());
            urb->actual_length = static_cast<int>(reply.data.size());
        } else {
            urb->actual_length = setup.wLength;
        }
        finish(client, state, held, 0);
        break;
    case eOutcome::Stalled:
        urb->actual_length = 0;
        finish(client, state, held, -EPIPE);
        break;
    default:
        state.inFlight.push_back(held);  // the host's time-out discards it
        break;
    }
    return {};
}

UsbfsNode::tResult UsbfsNode::discardUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    // The argument is the URB's address in the client.
    if (static_cast<std::size_t>(arg->data_len) < sizeof(unsigned long))
        return {-1, EFAULT};
    unsigned long address = 0;
    std::memcpy(&address, arg->data, sizeof(address));

    std::lock_guard<std::mutex> lock(m_mutex);
    tClient& state = m_clients[client];
    for (auto it = state.inFlight.begin(); it != state.inFlight.end(); ++it) {
        if (it->data->client_addr != address)
            continue;
        const tUrb urb = *it;
        state.inFlight.erase(it);
        urbOf(urb.data)->actual_length = 0;
        finish(client, state, urb, -ENOENT);
        return {};
    }
    // Finished already (or unknown): usbfs answers EINVAL and the URB is reaped as it is.
    return {-1, EINVAL};
}

UsbfsNode::tResult UsbfsNode::reapUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool wait)
{
    UMockdevIoctlData* slot = nullptr;
    if (!resolve<void*>(arg, &slot))
        return {-1, EFAULT};

    std::lock_guard<std::mutex> lock(m_mutex);
    tClient& state = m_clients[client];
    if (!state.finished.empty()) {
        hand(slot, state.finished.front());
        state.finished.pop_front();
        return {};
    }
    if (m_gone)
        return {-1, ENODEV};
    if (!wait)
        return {-1, EAGAIN};
    if (state.inFlight.empty() || state.waitingReap)
        return {-1, EINVAL};  // would wait for ever
    g_object_ref(client);
    g_object_ref(slot);
    state.waitingReap = slot;
    return {0, 0, true};
}

void UsbfsNode::finish(UMockdevIoctlClient* client, tClient& state, tUrb urb, int status)
{
    urbOf(urb.data)->status = status;
    state.finished.push_back(urb);
    completeWaitingReap(client, state);
}

void UsbfsNode::completeWaitingReap(UMockdevIoctlClient* client, tClient& state)
{
    if (!state.waitingReap)
        return;
    if (state.finished.empty() && !m_gone)
        return;
    UMockdevIoctlData* slot = state.waitingReap;
    state.waitingReap = nullptr;
    if (state.finished.empty()) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
    } else {
        hand(slot, state.finished.front());
        state.finished.pop_front();
        umockdev_ioctl_client_complete(client, 0, 0);
    }
    g_object_unref(slot);
    g_object_unref(client);
}

void UsbfsNode::hand(UMockdevIoctlData* slot, tUrb urb)
{
    // The reaped URB's client address goes into the caller's pointer; its data (status, length and
    // the buffer) is written back when the ioctl completes.
    umockdev_ioctl_data_set_ptr(slot, 0, urb.data);
    g_object_unref(urb.data);
}

}  // namespace QV::SIM
