#include "UsbContext.h"
#include "IOKit/standin/UsbSettings.h"
#include "ObjectTable.h"
#include "UsbDeviceInterface.h"

#include <libusb.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace qvcompat::iokit {

namespace {

std::atomic<long> s_timeoutMs{5000};

// Plain data only: these must stay usable while the process runs its static destructors.
std::mutex s_lock;
std::condition_variable s_idle;
libusb_context* s_context = nullptr;
unsigned long s_uses = 0;
bool s_started = false;  // libusb_init was tried
bool s_ending = false;   // no new uses; once set, never cleared

libusb_context* startLocked()
{
    s_started = true;
    libusb_context* context = nullptr;
    const int result = libusb_init(&context);
    if (result != LIBUSB_SUCCESS) {
        std::fprintf(stderr, "IOKit stand-in: libusb_init failed: %s\n", libusb_error_name(result));
        return nullptr;
    }
    // Registered now, so it runs before the destructors of every static object that already
    // exists (the object table among them) and after those of objects made later.
    std::atexit(endUsbContext);
    return context;
}

}  // namespace

UsbContextUse::UsbContextUse()
{
    std::lock_guard<std::mutex> lock(s_lock);
    if (s_ending)
        return;
    if (!s_started)
        s_context = startLocked();
    if (s_context) {
        m_context = s_context;
        ++s_uses;
    }
}

UsbContextUse::~UsbContextUse()
{
    if (!m_context)
        return;
    std::lock_guard<std::mutex> lock(s_lock);
    if (--s_uses == 0)
        s_idle.notify_all();
}

void endUsbContext()
{
    libusb_context* context = nullptr;
    {
        std::unique_lock<std::mutex> lock(s_lock);
        if (s_ending)
            return;
        s_ending = true;
        // Transfers are bounded by their time-out, so this wait is too.
        s_idle.wait(lock, [] { return s_uses == 0; });
        context = s_context;
        s_context = nullptr;
    }
    if (!context)
        return;
    // Our references first: libusb_exit frees only the devices that nobody else holds.
    closeUsbDeviceInterfaces();
    ObjectTable::instance().dropDevices();
    libusb_exit(context);
}

void setControlTransferTimeout(std::chrono::milliseconds timeout) { s_timeoutMs = static_cast<long>(timeout.count()); }

std::chrono::milliseconds controlTransferTimeout() { return std::chrono::milliseconds(s_timeoutMs.load()); }

}  // namespace qvcompat::iokit
