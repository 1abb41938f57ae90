#pragma once

#include "qvsim/model/ControllerModel.h"

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace QV::SIM {

// The /dev/bus/usb node of one enumeration of a controller: a umockdev ioctl handler that answers the
// usbfs requests libusb sends on Linux (1.0.26) and hands control transfers to the model.
//
// Implements: GET_CAPABILITIES, CLAIMINTERFACE, RELEASEINTERFACE, DISCONNECT_CLAIM, SETINTERFACE,
// SETCONFIGURATION, CLEAR_HALT, RESETEP, RESET, GETDRIVER, IOCTL (driver disconnect/connect),
// CONNECTINFO, GET_SPEED, SUBMITURB (control URBs on endpoint 0; interrupt IN on the HID endpoint stays
// pending: the controller sends no reports), DISCARDURB, REAPURB, REAPURBNDELAY.
// Lacks: bulk and isochronous endpoints, streams, mmap, CONNINFO_EX; those fail as the kernel fails
// them for an endpoint the configuration lacks (ENOENT) or with ENOTTY.
// Deviations: URBs complete when submitted, unless the model leaves them unanswered; the node stays a
// plain file, so libusb's event loop finds it always writable and polls with REAPURBNDELAY.
//
// Requests arrive on umockdev's worker thread; disconnect() comes from the bus's thread. One mutex
// guards the state; the model is called with it held (the model never calls back into the node).
class UsbfsNode {
public:
    UsbfsNode(std::shared_ptr<ControllerModel> model, eMode mode, std::uint8_t deviceNumber);
    ~UsbfsNode();

    UsbfsNode(const UsbfsNode&) = delete;
    UsbfsNode& operator=(const UsbfsNode&) = delete;

    // The handler to attach to the node's path.
    UMockdevIoctlBase* handler() const { return m_handler; }

    // The device left the bus: URBs in flight finish with -ESHUTDOWN and can still be reaped; every
    // other request fails with ENODEV from now on, as usbfs does for a disconnected device.
    void disconnect();

private:
    struct tUrb {
        UMockdevIoctlData* data = nullptr;  // one reference held; the buffer is resolved into it
    };
    struct tClient {
        std::deque<tUrb> inFlight;
        std::deque<tUrb> finished;
        std::set<unsigned> claimed;
        UMockdevIoctlData* waitingReap = nullptr;  // a blocking REAPURB: its resolved pointer slot
    };
    struct tResult {
        long value = 0;
        int error = 0;
        bool deferred = false;  // completed later (a blocking REAPURB)
    };

    static gboolean onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
    static void onClientVanished(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);

    tResult dispatch(UMockdevIoctlClient* client, unsigned long request, UMockdevIoctlData* arg);
    tResult submitUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    tResult discardUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    tResult reapUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg, bool wait);
    tResult standardRequest(std::uint8_t bmRequestType, std::uint8_t bRequest, std::uint16_t wValue,
                            std::uint16_t wIndex);
    void finish(UMockdevIoctlClient* client, tClient& state, tUrb urb, int status);
    void completeWaitingReap(UMockdevIoctlClient* client, tClient& state);
    static void hand(UMockdevIoctlData* slot, tUrb urb);

    const std::shared_ptr<ControllerModel> m_model;
    const eMode m_mode;
    const std::uint8_t m_deviceNumber;
    UMockdevIoctlBase* m_handler;

    std::mutex m_mutex;
    bool m_gone = false;
    std::map<UMockdevIoctlClient*, tClient> m_clients;
};

}  // namespace QV::SIM
