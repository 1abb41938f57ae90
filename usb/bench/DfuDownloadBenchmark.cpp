// Times the DFU download of the main image into a simulated controller three ways, with the same
// transfer size and the same requests: DFUDevice::writeImage, `dfu-util -D`, and a bare libusb
// loop. Prints the medians and the two ratios (targets: no slower than dfu-util, within 10% of
// the bare loop). The program's waits are skipped (the controller never asks for one), so only
// the transfers are timed; writeImage and the bare loop are timed from an open device, dfu-util
// as a whole command (process start, enumeration and its own waits included). Run under
// umockdev-wrapper.
#include "DVK2/DFUDevice.h"
#include "DVK2/Sleep.h"
#include "DVK2/USBDeviceDB.h"
#include "DVK2/USBDeviceFactory.h"
#include "FW/VardolinStudioImages.h"
#include "qvsim/bus/UsbBus.h"
#include "qvsim/model/RealClock.h"

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using QV::SIM::ControllerConfig;
using QV::SIM::ControllerModel;

constexpr uint16_t kTransferSize = 2048;
constexpr int kRuns = 7;

std::vector<uint8_t> mainImage()
{
    return {QV::FW::VardolinStudio, QV::FW::VardolinStudio + QV::FW::kVardolinStudioSize};
}

// A controller in update mode that is never busy and manifests at once.
std::shared_ptr<ControllerModel> plugController(QV::SIM::Clock& clock)
{
    ControllerConfig config;
    config.initialMode = QV::SIM::eMode::Update;
    config.transferSize = kTransferSize;
    config.pollTimeoutMs = 0;
    config.manifestationTime = std::chrono::seconds(0);
    config.expectedMainImage = mainImage();
    auto controller = ControllerModel::create(config, clock);
    QV::SIM::UsbBus::instance().plug(controller);
    QV::SIM::UsbBus::instance().waitSettled();
    return controller;
}

void unplug(const std::shared_ptr<ControllerModel>& controller)
{
    QV::SIM::UsbBus::instance().unplug(controller);
    QV::SIM::UsbBus::instance().waitSettled();
}

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Each contender sets `start` where its timed part begins: after opening the device where it can.
using Download = std::function<bool(Clock::time_point& start)>;

// One timed run of `download` on a fresh controller; negative when the image did not arrive whole.
double timeOnce(QV::SIM::Clock& clock, const Download& download)
{
    auto controller = plugController(clock);
    Clock::time_point start = Clock::now();
    const bool ok = download(start);
    const double elapsed = milliseconds(Clock::now() - start);
    const bool complete = controller->receivedMainImage() == mainImage();
    unplug(controller);
    return ok && complete ? elapsed : -1;
}

bool writeImage(Clock::time_point& start)
{
    QV::DVK2::DFUDevice device;
    QV::DVK2::USBDeviceFilter filter = QV::DVK2::USBDeviceDB::VardolinStudioDFU;
    filter.productId = 0x1302;
    QV::DVK2::USBDeviceFactory factory;
    factory.setCallbacks([&](const auto& handle, const auto&) { device.connect(handle); }, {});
    factory.initWithDeviceFilter(filter, false);
    if (device.mode() != QV::DVK2::DFUDevice::eModeUpdate)
        return false;
    QV::DVK2::DFU::GetStatus status;
    start = Clock::now();
    return device.writeImage(QV::FW::VardolinStudio, QV::FW::kVardolinStudioSize, status);
}

bool dfuUtil(const std::string& imagePath)
{
    char command[512];
    std::snprintf(command, sizeof command, "dfu-util -d %04x:1302 -t %u -E 1 -D %s >/dev/null 2>&1",
                  QV::DVK2::USBDeviceDB::QVVendorId, kTransferSize, imagePath.c_str());
    return std::system(command) == 0;
}

// The same requests as writeImage, straight on libusb: each block, then GETSTATUS; the
// zero-length block; then the manifestation exchange as writeImage follows it (GETSTATE, and
// GETSTATUS in dfuMANIFEST-SYNC and dfuIDLE) until the controller is idle again.
bool bareLoop(libusb_context* context, Clock::time_point& start)
{
    libusb_device_handle* handle = libusb_open_device_with_vid_pid(context, QV::DVK2::USBDeviceDB::QVVendorId, 0x1302);
    if (!handle)
        return false;
    bool ok = libusb_claim_interface(handle, 0) == 0;
    start = Clock::now();
    uint8_t block[kTransferSize];
    uint8_t status[6];
    uint16_t number = 0;
    for (size_t offset = 0; ok && offset < QV::FW::kVardolinStudioSize; offset += kTransferSize, ++number) {
        const uint16_t length =
            static_cast<uint16_t>(std::min<size_t>(kTransferSize, QV::FW::kVardolinStudioSize - offset));
        std::copy_n(QV::FW::VardolinStudio + offset, length, block);
        ok = libusb_control_transfer(handle, 0x21, 1, number, 0, block, length, 5000) == length &&
             libusb_control_transfer(handle, 0xA1, 3, 0, 0, status, 6, 5000) == 6 && status[0] == 0;
    }
    ok = ok && libusb_control_transfer(handle, 0x21, 1, number, 0, nullptr, 0, 5000) == 0;
    constexpr uint8_t kDfuIdle = 2, kManifestSync = 6;
    uint8_t state = 0;
    for (int step = 0; ok && step < 100; ++step) {
        ok = libusb_control_transfer(handle, 0xA1, 5, 0, 0, &state, 1, 5000) == 1;
        if (!ok || (state != kManifestSync && state != kDfuIdle))
            continue;
        ok = libusb_control_transfer(handle, 0xA1, 3, 0, 0, status, 6, 5000) == 6 && status[0] == 0;
        if (state == kDfuIdle)
            break;
    }
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    return ok && state == kDfuIdle;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main()
{
    QV::SIM::UsbBus::instance();  // before any libusb context
    QV::SIM::RealClock clock;
    QV::DVK2::setSleepFunction([](std::chrono::nanoseconds) {});

    char imagePath[] = "/tmp/qv-dfu-benchmark-XXXXXX";
    const int fd = mkstemp(imagePath);
    if (fd < 0 || write(fd, QV::FW::VardolinStudio, QV::FW::kVardolinStudioSize) !=
                      static_cast<ssize_t>(QV::FW::kVardolinStudioSize)) {
        std::fprintf(stderr, "cannot write the image file\n");
        return 1;
    }
    close(fd);

    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0) {
        std::fprintf(stderr, "libusb_init failed\n");
        return 1;
    }

    struct Contender {
        const char* name;
        Download download;
        std::vector<double> times;
    } contenders[] = {
        {"DFUDevice::writeImage", writeImage, {}},
        {"dfu-util -D (whole run)", [&](Clock::time_point&) { return dfuUtil(imagePath); }, {}},
        {"bare libusb loop", [&](Clock::time_point& start) { return bareLoop(context, start); }, {}},
    };
    for (int run = 0; run < kRuns; ++run) {
        for (Contender& contender : contenders) {
            const double ms = timeOnce(clock, contender.download);
            if (ms < 0) {
                std::fprintf(stderr, "%s did not download the image\n", contender.name);
                return 1;
            }
            contender.times.push_back(ms);
        }
    }
    libusb_exit(context);
    unlink(imagePath);

    std::printf("DFU download of %zu bytes, transfer size %u, median of %d runs:\n", QV::FW::kVardolinStudioSize,
                kTransferSize, kRuns);
    for (const Contender& contender : contenders)
        std::printf("  %-24s %8.2f ms\n", contender.name, median(contender.times));
    const double ours = median(contenders[0].times);
    std::printf("writeImage / dfu-util:   %.3f (target: at most 1)\n", ours / median(contenders[1].times));
    std::printf("writeImage / bare loop:  %.3f (target: at most 1.10)\n", ours / median(contenders[2].times));
    return 0;
}
