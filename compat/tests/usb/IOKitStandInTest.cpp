// The IOKit stand-in against simulated controllers on the emulated bus, through the real libusb.
#include <IOKit/IOCFPlugIn.h>
#include <IOKit/IOKitLib.h>
#include <IOKit/standin/UsbSettings.h>
#include <IOKit/usb/IOUSBLib.h>

#include "qvsim/bus/FileAccess.h"
#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using QV::SIM::ControllerConfig;
using QV::SIM::tRequestMatch;

// The services a first-match notification reports for `className`, each with a reference that the
// caller releases.
std::vector<io_service_t> scan(const char* className)
{
    IONotificationPortRef port = IONotificationPortCreate(kIOMasterPortDefault);
    io_iterator_t iterator = 0;
    EXPECT_EQ(IOServiceAddMatchingNotification(port, kIOFirstMatchNotification, IOServiceMatching(className), nullptr,
                                               nullptr, &iterator),
              KERN_SUCCESS);
    std::vector<io_service_t> services;
    while (io_service_t service = IOIteratorNext(iterator))
        services.push_back(service);
    IOObjectRelease(iterator);
    IONotificationPortDestroy(port);
    return services;
}

void releaseAll(const std::vector<io_service_t>& services)
{
    for (io_service_t service : services)
        EXPECT_EQ(IOObjectRelease(service), KERN_SUCCESS);
}

IOUSBDeviceInterface** openInterface(io_service_t service)
{
    IOCFPlugInInterface** plugIn = nullptr;
    SInt32 score = 0;
    if (IOCreatePlugInInterfaceForService(service, kIOUSBDeviceUserClientTypeID, kIOCFPlugInInterfaceID, &plugIn,
                                          &score) != KERN_SUCCESS)
        return nullptr;
    IOUSBDeviceInterface** device = nullptr;
    const HRESULT queried = (*plugIn)->QueryInterface(plugIn, CFUUIDGetUUIDBytes(kIOUSBDeviceInterfaceID),
                                                      reinterpret_cast<LPVOID*>(&device));
    IODestroyPlugInInterface(plugIn);
    return queried == S_OK ? device : nullptr;
}

UInt16 productOf(io_service_t service)
{
    IOUSBDeviceInterface** device = openInterface(service);
    if (!device)
        return 0;
    UInt16 product = 0;
    (*device)->GetDeviceProduct(device, &product);
    (*device)->Release(device);
    return product;
}

IOReturn request(IOUSBDeviceInterface** device, UInt8 type, UInt8 code, UInt16 value, UInt16 index, void* data,
                 UInt16 length, UInt32* done = nullptr)
{
    IOUSBDevRequest r{type, code, value, index, length, data, 0};
    const IOReturn result = (*device)->DeviceRequest(device, &r);
    if (done)
        *done = r.wLenDone;
    return result;
}

class IOKitStandIn : public QV::SIM::SimulatedBusTest {
protected:
    void TearDown() override
    {
        qvcompat::iokit::setControlTransferTimeout(5s);
        SimulatedBusTest::TearDown();
    }
};

TEST_F(IOKitStandIn, FirstMatchReportsPresentDevicesAndTerminateNothing)
{
    EXPECT_TRUE(scan("IOUSBDevice").empty());

    plugController();
    ControllerConfig second;
    second.serialNumber = "VDX2024000002";
    plugController(second);

    std::vector<io_service_t> services = scan("IOUSBDevice");
    ASSERT_EQ(services.size(), 2u);
    EXPECT_NE(services[0], services[1]);
    releaseAll(services);

    IONotificationPortRef port = IONotificationPortCreate(kIOMasterPortDefault);
    io_iterator_t terminated = 0;
    ASSERT_EQ(IOServiceAddMatchingNotification(port, kIOTerminatedNotification, IOServiceMatching("IOUSBDevice"),
                                               nullptr, nullptr, &terminated),
              KERN_SUCCESS);
    EXPECT_EQ(IOIteratorNext(terminated), 0u);
    IOObjectRelease(terminated);
    EXPECT_NE(IONotificationPortGetRunLoopSource(port), nullptr);
    IONotificationPortDestroy(port);
}

TEST_F(IOKitStandIn, ClassesMatchTheirDevicesOnly)
{
    plugController();  // application mode: a HID interface beside the DFU run-time interface
    ControllerConfig updateMode;
    updateMode.serialNumber = "VDX2024000002";
    updateMode.initialMode = QV::SIM::eMode::Update;  // DFU interface only
    plugController(updateMode);

    std::vector<io_service_t> hid = scan("IOHIDDevice");
    ASSERT_EQ(hid.size(), 1u);
    EXPECT_EQ(productOf(hid[0]), 0x1300);
    releaseAll(hid);
    EXPECT_TRUE(scan("IOSomethingElse").empty());
    EXPECT_EQ(IOServiceMatching(nullptr), nullptr);
}

TEST_F(IOKitStandIn, AServiceKeepsItsIdUntilTheDeviceReenumerates)
{
    auto controller = plugController();
    std::vector<io_service_t> first = scan("IOUSBDevice");
    ASSERT_EQ(first.size(), 1u);
    std::vector<io_service_t> second = scan("IOUSBDevice");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0], second[0]);

    IOUSBDeviceInterface** device = openInterface(first[0]);
    ASSERT_NE(device, nullptr);
    releaseAll(first);
    releaseAll(second);
    // XMOS reset into update mode: the controller leaves and comes back with another product id.
    EXPECT_EQ(request(device, 0x21, 0xF2, 0, 1, nullptr, 0), kIOReturnSuccess);
    (*device)->Release(device);
    advance(controller->config().reenumerationDelay + 10ms);

    std::vector<io_service_t> after = scan("IOUSBDevice");
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], first[0]);
    EXPECT_EQ(productOf(after[0]), 0x1302);
    releaseAll(after);
}

TEST_F(IOKitStandIn, DeviceInterfaceReadsIdentityAndConfiguration)
{
    plugController();
    std::vector<io_service_t> services = scan("IOUSBDevice");
    ASSERT_EQ(services.size(), 1u);
    IOUSBDeviceInterface** device = openInterface(services[0]);
    ASSERT_NE(device, nullptr);

    UInt16 vendor = 0, product = 0, release = 0;
    (*device)->GetDeviceVendor(device, &vendor);
    (*device)->GetDeviceProduct(device, &product);
    (*device)->GetDeviceReleaseNumber(device, &release);
    EXPECT_EQ(vendor, QV::SIM::defaultVendorId());
    EXPECT_EQ(product, 0x1300);
    EXPECT_EQ(release, 0x0020);

    IOUSBConfigurationDescriptorPtr config = nullptr;
    ASSERT_EQ((*device)->GetConfigurationDescriptorPtr(device, 0, &config), kIOReturnSuccess);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->bDescriptorType, 2);
    EXPECT_GT(USBToHostWord(config->wTotalLength), 9);
    IOUSBConfigurationDescriptorPtr again = nullptr;
    (*device)->GetConfigurationDescriptorPtr(device, 0, &again);
    EXPECT_EQ(again, config) << "the descriptor is cached for the life of the interface";
    EXPECT_EQ((*device)->GetConfigurationDescriptorPtr(device, 1, &again), kIOReturnNotFound);

    uint8_t descriptor[256] = {};
    UInt32 done = 0;
    EXPECT_EQ(request(device, 0x80, 6, 0x0100, 0, descriptor, sizeof descriptor, &done), kIOReturnSuccess);
    EXPECT_EQ(done, 18u);
    EXPECT_EQ(descriptor[0], 18);

    (*device)->Release(device);
    releaseAll(services);
}

TEST_F(IOKitStandIn, RequestFailuresBecomeIOKitCodes)
{
    ControllerConfig config;
    config.faults.stall.push_back(tRequestMatch{0xC0, 0xB3, 1});
    config.faults.neverAnswer.push_back(tRequestMatch{0xC0, 0xB3, 2});
    auto controller = plugController(config);
    std::vector<io_service_t> services = scan("IOUSBDevice");
    ASSERT_EQ(services.size(), 1u);
    IOUSBDeviceInterface** device = openInterface(services[0]);
    ASSERT_NE(device, nullptr);

    uint8_t version[2] = {};
    EXPECT_EQ(request(device, 0xC0, 0xB3, 0, 0x1D, version, 2), kIOUSBPipeStalled);

    qvcompat::iokit::setControlTransferTimeout(200ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(request(device, 0xC0, 0xB3, 0, 0x1D, version, 2), kIOReturnTimeout);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "a request that is never answered must time out";

    UInt32 done = 0;
    EXPECT_EQ(request(device, 0xC0, 0xB3, 0, 0x1D, version, 2, &done), kIOReturnSuccess);
    EXPECT_EQ(done, 2u);
    EXPECT_EQ(version[0], 0x66);

    bus().unplug(controller);
    ASSERT_TRUE(bus().waitSettled());
    EXPECT_EQ(request(device, 0xC0, 0xB3, 0, 0x1D, version, 2), kIOReturnNoDevice);
    (*device)->Release(device);
    releaseAll(services);
}

// A device this user may not open keeps its registry numbers; its interface is refused as a
// violation of privilege.
TEST_F(IOKitStandIn, AnUnopenableDeviceKeepsItsNumbersAndRefusesItsInterface)
{
    auto controller = plugController();
    bus().setOpenRefused(*controller, true);
    struct WithoutRootFileAccess {  // root opens every node; an ordinary user has nothing to give up
        WithoutRootFileAccess() { EXPECT_TRUE(QV::SIM::setFileAccessOverride(false)); }
        ~WithoutRootFileAccess() { QV::SIM::setFileAccessOverride(true); }
    } user;
    std::vector<io_service_t> services = scan("IOUSBDevice");
    ASSERT_EQ(services.size(), 1u);

    const auto number = [&](const char* key) {
        CFStringRef name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
        CFTypeRef value = IORegistryEntryCreateCFProperty(services[0], name, kCFAllocatorDefault, 0);
        CFRelease(name);
        SInt32 result = -1;
        if (value && CFGetTypeID(value) == CFNumberGetTypeID())
            CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &result);
        if (value)
            CFRelease(value);
        return result;
    };
    EXPECT_EQ(number(kUSBVendorID), QV::SIM::defaultVendorId());
    EXPECT_EQ(number(kUSBProductID), 0x1300);
    EXPECT_EQ(number(kUSBDeviceReleaseNumber), 0x0020);
    EXPECT_EQ(number("SerialNumber"), -1) << "no such number";

    IOCFPlugInInterface** plugIn = nullptr;
    SInt32 score = 0;
    ASSERT_EQ(IOCreatePlugInInterfaceForService(services[0], kIOUSBDeviceUserClientTypeID, kIOCFPlugInInterfaceID,
                                                &plugIn, &score),
              KERN_SUCCESS);
    IOUSBDeviceInterface** device = nullptr;
    EXPECT_EQ((*plugIn)->QueryInterface(plugIn, CFUUIDGetUUIDBytes(kIOUSBDeviceInterfaceID),
                                        reinterpret_cast<LPVOID*>(&device)),
              static_cast<HRESULT>(kIOReturnNotPrivileged));
    EXPECT_EQ(device, nullptr);
    IODestroyPlugInInterface(plugIn);

    bus().setOpenRefused(*controller, false);
    EXPECT_EQ(productOf(services[0]), 0x1300) << "opened once access is given";
    releaseAll(services);
}

TEST_F(IOKitStandIn, HidRegistryPropertiesComeFromTheUsbDevice)
{
    plugController();
    std::vector<io_service_t> hid = scan("IOHIDDevice");
    ASSERT_EQ(hid.size(), 1u);
    CFMutableDictionaryRef properties = nullptr;
    ASSERT_EQ(IORegistryEntryCreateCFProperties(hid[0], &properties, kCFAllocatorDefault, 0), KERN_SUCCESS);

    auto number = [&](const char* key) {
        CFStringRef name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
        const void* value = CFDictionaryGetValue(properties, name);
        CFRelease(name);
        SInt32 result = -1;
        if (value && CFGetTypeID(value) == CFNumberGetTypeID())
            CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &result);
        return result;
    };
    auto text = [&](const char* key) {
        CFStringRef name = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
        const void* value = CFDictionaryGetValue(properties, name);
        CFRelease(name);
        std::string result;
        if (value && CFGetTypeID(value) == CFStringGetTypeID()) {
            CFStringRef s = static_cast<CFStringRef>(value);
            for (CFIndex i = 0; i < CFStringGetLength(s); ++i)
                result.push_back(static_cast<char>(CFStringGetCharactersPtr(s)[i]));
        }
        return result;
    };
    EXPECT_EQ(number("VendorID"), QV::SIM::defaultVendorId());
    EXPECT_EQ(number("ProductID"), 0x1300);
    EXPECT_EQ(number("VersionNumber"), 0x0020);
    EXPECT_EQ(text("Manufacturer"), "Orvendal");
    EXPECT_EQ(text("Product"), "Vardolin Studio");
    EXPECT_EQ(text("SerialNumber"), "VDX2024000001");
    CFRelease(properties);
    releaseAll(hid);
}

TEST_F(IOKitStandIn, ObjectsAreReferenceCounted)
{
    plugController();
    IONotificationPortRef port = IONotificationPortCreate(kIOMasterPortDefault);
    io_iterator_t iterator = 0;
    ASSERT_EQ(IOServiceAddMatchingNotification(port, kIOFirstMatchNotification, IOServiceMatching("IOUSBDevice"),
                                               nullptr, nullptr, &iterator),
              KERN_SUCCESS);
    // Releasing an iterator that still holds a service releases that service too.
    EXPECT_EQ(IOObjectRelease(iterator), KERN_SUCCESS);
    EXPECT_NE(IOObjectRelease(iterator), KERN_SUCCESS) << "a released object is gone";
    EXPECT_NE(IOObjectRetain(0xDEAD), KERN_SUCCESS);
    IONotificationPortDestroy(port);

    IOCFPlugInInterface** plugIn = nullptr;
    SInt32 score = 0;
    EXPECT_EQ(IOCreatePlugInInterfaceForService(0xDEAD, kIOUSBDeviceUserClientTypeID, kIOCFPlugInInterfaceID, &plugIn,
                                                &score),
              kIOReturnNoDevice);
    io_connect_t connection = 1;
    EXPECT_EQ(IOServiceOpen(0xDEAD, mach_task_self(), 0, &connection), kIOReturnUnsupported);
    EXPECT_EQ(connection, 0u);
}

}  // namespace
