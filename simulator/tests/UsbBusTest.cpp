// The emulated bus seen through the real libusb, as the program sees it.
#include "qvsim/testing/SimulatedBusTest.h"

#include <libusb.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Reached only when a request fails; generous, so that a loaded machine does not fail one.
constexpr unsigned kTimeoutMs = 5000;

class UsbBusTest : public SimulatedBusTest {
protected:
    void SetUp() override
    {
        SimulatedBusTest::SetUp();  // the bus exists before any libusb context
        ASSERT_EQ(libusb_init(&m_usb), LIBUSB_SUCCESS);
    }

    void TearDown() override
    {
        for (libusb_device_handle* handle : m_handles)
            libusb_close(handle);
        libusb_exit(m_usb);
        SimulatedBusTest::TearDown();
    }

    // The libusb device at an address, or null.
    libusb_device* deviceAt(std::uint8_t address)
    {
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(m_usb, &list);
        libusb_device* found = nullptr;
        for (ssize_t i = 0; i < count; ++i)
            if (libusb_get_device_address(list[i]) == address)
                found = libusb_ref_device(list[i]);
        libusb_free_device_list(list, 1);
        return found;
    }

    libusb_device_handle* open(const ControllerModel& controller)
    {
        const auto address = bus().address(controller);
        EXPECT_TRUE(address);
        libusb_device* device = address ? deviceAt(address->device) : nullptr;
        EXPECT_NE(device, nullptr);
        if (!device)
            return nullptr;
        libusb_device_handle* handle = nullptr;
        EXPECT_EQ(libusb_open(device, &handle), LIBUSB_SUCCESS);
        libusb_unref_device(device);
        if (handle)
            m_handles.push_back(handle);
        return handle;
    }

    libusb_device_descriptor descriptorOf(std::uint8_t address)
    {
        libusb_device_descriptor descriptor{};
        libusb_device* device = deviceAt(address);
        EXPECT_NE(device, nullptr);
        if (device) {
            libusb_get_device_descriptor(device, &descriptor);
            libusb_unref_device(device);
        }
        return descriptor;
    }

    libusb_context* m_usb = nullptr;
    std::vector<libusb_device_handle*> m_handles;
};

ControllerConfig updateMode()
{
    ControllerConfig config;
    config.initialMode = eMode::Update;
    config.pollTimeoutMs = 0;
    return config;
}

TEST_F(UsbBusTest, ListsThePluggedControllerWithItsDescriptors)
{
    auto controller = plugController();
    const auto address = bus().address(*controller);
    ASSERT_TRUE(address);
    libusb_device* device = deviceAt(address->device);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(libusb_get_bus_number(device), 1);

    libusb_device_descriptor descriptor{};
    ASSERT_EQ(libusb_get_device_descriptor(device, &descriptor), LIBUSB_SUCCESS);
    EXPECT_EQ(descriptor.idVendor, controller->config().vendorId);
    EXPECT_EQ(descriptor.idProduct, 0x1300);
    EXPECT_EQ(descriptor.bcdDevice, 0x0020);
    EXPECT_EQ(descriptor.iSerialNumber, 3);

    libusb_config_descriptor* configuration = nullptr;
    ASSERT_EQ(libusb_get_active_config_descriptor(device, &configuration), LIBUSB_SUCCESS);
    ASSERT_EQ(configuration->bNumInterfaces, 2);
    const libusb_interface_descriptor& dfu = configuration->interface[1].altsetting[0];
    EXPECT_EQ(dfu.bInterfaceClass, 0xFE);
    EXPECT_EQ(dfu.bInterfaceProtocol, 1);
    ASSERT_EQ(dfu.extra_length, 9);  // the functional descriptor follows the DFU interface
    EXPECT_EQ(dfu.extra[1], 0x21);
    EXPECT_EQ(dfu.extra[5] | dfu.extra[6] << 8, controller->config().transferSize);
    libusb_free_config_descriptor(configuration);
    libusb_unref_device(device);
}

TEST_F(UsbBusTest, ControlTransfersReachTheModelAndItsAnswersComeBack)
{
    auto controller = plugController();
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);

    unsigned char data[256];
    EXPECT_EQ(libusb_control_transfer(handle, 0x80, 6, 0x0100, 0, data, sizeof(data), kTimeoutMs), 18);
    EXPECT_EQ(data[0], 18);
    EXPECT_EQ(libusb_get_string_descriptor_ascii(handle, 3, data, sizeof(data)), 13);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 13), "VDX2024000001");
    EXPECT_EQ(libusb_get_string_descriptor_ascii(handle, 2, data, sizeof(data)), 15);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 15), "Vardolin Studio");

    EXPECT_EQ(libusb_control_transfer(handle, 0xC0, 0xB3, 0, 0x1D, data, 2, kTimeoutMs), 2);
    EXPECT_EQ(data[0] | data[1] << 8, 0x66);
    EXPECT_EQ(libusb_control_transfer(handle, 0xC0, 0xB3, 0, 0x1C, data, 2, kTimeoutMs), LIBUSB_ERROR_PIPE);

    EXPECT_EQ(libusb_claim_interface(handle, 1), LIBUSB_SUCCESS);
    EXPECT_EQ(libusb_claim_interface(handle, 2), LIBUSB_ERROR_NOT_FOUND);
    EXPECT_EQ(libusb_control_transfer(handle, 0xA1, 3, 0, 1, data, 6, kTimeoutMs), 6);
    EXPECT_EQ(data[4], DFU::eAppIdle);
    EXPECT_EQ(libusb_release_interface(handle, 1), LIBUSB_SUCCESS);

    const auto log = controller->requestLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(tSetupPacket::fromBytes(log.back().setup).bRequest, DFU::eGetStatus);
    EXPECT_EQ(log.back().dataLength, 6u);
}

TEST_F(UsbBusTest, OutDataReachesTheModel)
{
    ControllerConfig config = updateMode();
    config.expectedAuxImage = Bytes(300, 0x5A);
    auto controller = plugController(config);
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(libusb_claim_interface(handle, 0), LIBUSB_SUCCESS);

    Bytes block(256, 0x5A);
    EXPECT_EQ(libusb_control_transfer(handle, 0x41, 0x1D, 0, 0, block.data(), 256, kTimeoutMs), 256);
    EXPECT_EQ(libusb_control_transfer(handle, 0x41, 0x1D, 1, 0, block.data(), 44, kTimeoutMs), 44);
    EXPECT_EQ(controller->receivedAuxImage(), config.expectedAuxImage);
    EXPECT_EQ(controller->auxVersion(), 0x67);

    Bytes image{1, 2, 3, 4, 5};
    EXPECT_EQ(libusb_control_transfer(handle, 0x21, 1, 0, 0, image.data(), 5, kTimeoutMs), 5);
    EXPECT_EQ(controller->receivedMainImage(), image);
}

TEST_F(UsbBusTest, NeverAnsweredRequestTimesOutAndTheNextIsAnswered)
{
    ControllerConfig config;
    config.faults.neverAnswer.push_back({0xA1, DFU::eGetStatus, 1});
    auto controller = plugController(config);
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(libusb_claim_interface(handle, 1), LIBUSB_SUCCESS);

    unsigned char status[6];
    EXPECT_EQ(libusb_control_transfer(handle, 0xA1, 3, 0, 1, status, 6, 50), LIBUSB_ERROR_TIMEOUT);
    EXPECT_EQ(libusb_control_transfer(handle, 0xA1, 3, 0, 1, status, 6, kTimeoutMs), 6);
}

TEST_F(UsbBusTest, UnplugWhileOpenFailsTransfersWithNoDevice)
{
    auto controller = plugController();
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);
    const auto address = bus().address(*controller);
    ASSERT_TRUE(address);

    // An asynchronous transfer submitted after the controller went.
    unsigned char buffer[8 + 6];
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    libusb_fill_control_setup(buffer, 0xA1, DFU::eGetStatus, 0, 1, 6);
    bool completed = false;
    libusb_fill_control_transfer(
        transfer, handle, buffer, [](libusb_transfer* t) { *static_cast<bool*>(t->user_data) = true; }, &completed, 0);

    bus().unplug(controller);
    ASSERT_TRUE(bus().waitSettled());

    unsigned char data[18];
    EXPECT_EQ(libusb_control_transfer(handle, 0x80, 6, 0x0100, 0, data, sizeof(data), kTimeoutMs),
              LIBUSB_ERROR_NO_DEVICE);
    EXPECT_EQ(libusb_submit_transfer(transfer), LIBUSB_ERROR_NO_DEVICE);
    libusb_free_transfer(transfer);
    EXPECT_EQ(deviceAt(address->device), nullptr);
    EXPECT_FALSE(bus().address(*controller));
}

TEST_F(UsbBusTest, TransferInFlightWhenTheControllerLeavesEndsWithNoDevice)
{
    ControllerConfig config;
    config.faults.neverAnswer.push_back({0xA1, DFU::eGetStatus, 0});
    auto controller = plugController(config);
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);

    unsigned char buffer[8 + 6];
    libusb_fill_control_setup(buffer, 0xA1, DFU::eGetStatus, 0, 1, 6);
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    int completed = 0;
    libusb_fill_control_transfer(
        transfer, handle, buffer, [](libusb_transfer* t) { *static_cast<int*>(t->user_data) = 1; }, &completed, 0);
    ASSERT_EQ(libusb_submit_transfer(transfer), LIBUSB_SUCCESS);

    bus().unplug(controller);
    timeval step{0, 10000};
    for (int i = 0; i < 500 && !completed; ++i)
        libusb_handle_events_timeout_completed(m_usb, &step, &completed);

    EXPECT_EQ(completed, 1);
    EXPECT_EQ(transfer->status, LIBUSB_TRANSFER_NO_DEVICE);
    libusb_free_transfer(transfer);
}

TEST_F(UsbBusTest, ReenumerationIsSeenWithANewAddressAndTheOtherMode)
{
    ControllerConfig config;
    config.reenumerationDelay = 1s;
    auto controller = plugController(config);
    const std::uint8_t before = bus().address(*controller).value().device;
    libusb_device_handle* handle = open(*controller);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(libusb_claim_interface(handle, 1), LIBUSB_SUCCESS);

    ASSERT_EQ(libusb_control_transfer(handle, 0x21, DFU::eDetach, 1000, 1, nullptr, 0, kTimeoutMs), 0);
    advance(500ms);  // gone, not back yet
    EXPECT_FALSE(bus().address(*controller));
    EXPECT_EQ(deviceAt(before), nullptr);
    advance(500ms);

    const auto after = bus().address(*controller);
    ASSERT_TRUE(after);
    EXPECT_NE(after->device, before);
    EXPECT_EQ(descriptorOf(after->device).idProduct, 0x1302);
    unsigned char data[6];
    EXPECT_EQ(libusb_control_transfer(handle, 0xA1, 3, 0, 1, data, 6, kTimeoutMs), LIBUSB_ERROR_NO_DEVICE);

    // A USB reset of the update-mode device brings the application back, as a new device again.
    libusb_device_handle* update = open(*controller);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(libusb_reset_device(update), LIBUSB_ERROR_NOT_FOUND);
    advance(1s);
    const auto back = bus().address(*controller);
    ASSERT_TRUE(back);
    EXPECT_NE(back->device, after->device);
    EXPECT_EQ(descriptorOf(back->device).idProduct, 0x1300);
}

TEST_F(UsbBusTest, ControllersGetTheirOwnAddressesAndSerialNumbers)
{
    ControllerConfig second;
    second.serialNumber = "VDX2024000002";
    auto a = plugController();
    auto b = plugController(second);
    const auto addressA = bus().address(*a);
    const auto addressB = bus().address(*b);
    ASSERT_TRUE(addressA && addressB);
    EXPECT_NE(addressA->device, addressB->device);

    unsigned char serial[64];
    libusb_device_handle* handle = open(*b);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(libusb_get_string_descriptor_ascii(handle, 3, serial, sizeof(serial)), 13);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(serial), 13), "VDX2024000002");
    EXPECT_TRUE(a->requestLog().empty());
}

}  // namespace
}  // namespace QV::SIM
