// A whole update through libusb, in the order the updater sends its requests, on the fixture's
// virtual clock: the fixture's main use, end to end.
#include "qvsim/testing/SimulatedBusTest.h"

#include <libusb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace QV::SIM {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// Reached only when a request fails; generous, so that a loaded machine does not fail one.
constexpr unsigned kTimeoutMs = 5000;

class WholeUpdateTest : public SimulatedBusTest {
protected:
    void SetUp() override
    {
        SimulatedBusTest::SetUp();
        ASSERT_EQ(libusb_init(&m_usb), LIBUSB_SUCCESS);
    }

    void TearDown() override
    {
        disconnect();
        libusb_exit(m_usb);
        SimulatedBusTest::TearDown();
    }

    // Opens the controller with this product id and serial number, as the updater's scans do.
    bool connect(std::uint16_t productId, const std::string& serial)
    {
        disconnect();
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(m_usb, &list);
        for (ssize_t i = 0; i < count && !m_handle; ++i) {
            libusb_device_descriptor descriptor{};
            libusb_get_device_descriptor(list[i], &descriptor);
            if (descriptor.idProduct != productId || libusb_open(list[i], &m_handle) != LIBUSB_SUCCESS)
                continue;
            unsigned char text[64] = {};
            const int length =
                libusb_get_string_descriptor_ascii(m_handle, descriptor.iSerialNumber, text, sizeof(text));
            if (length <= 0 || std::string(reinterpret_cast<char*>(text), static_cast<std::size_t>(length)) != serial) {
                libusb_close(m_handle);
                m_handle = nullptr;
                continue;
            }
            m_interface = productId & 0x000F ? 0 : 1;
            m_bcdDevice = descriptor.bcdDevice;
            libusb_claim_interface(m_handle, m_interface);
        }
        libusb_free_device_list(list, 1);
        return m_handle != nullptr;
    }

    void disconnect()
    {
        if (m_handle)
            libusb_close(m_handle);
        m_handle = nullptr;
    }

    int control(std::uint8_t type, std::uint8_t request, std::uint16_t value, std::uint16_t index, Bytes& data)
    {
        return libusb_control_transfer(m_handle, type, request, value, index, data.data(),
                                       static_cast<std::uint16_t>(data.size()), kTimeoutMs);
    }

    int send(std::uint8_t type, std::uint8_t request, std::uint16_t value, Bytes data = {})
    {
        return control(type, request, value, m_interface, data);
    }

    Bytes getStatus()
    {
        Bytes status(6);
        EXPECT_EQ(control(0xA1, DFU::eGetStatus, 0, m_interface, status), 6);
        return status;
    }

    std::uint8_t getState()
    {
        Bytes state(1);
        EXPECT_EQ(control(0xA1, DFU::eGetState, 0, m_interface, state), 1);
        return state[0];
    }

    std::uint16_t auxVersion()
    {
        Bytes version(2);
        EXPECT_EQ(control(0xC0, REQ::kCustomImageVersion, 0, 0x1D, version), 2);
        return static_cast<std::uint16_t>(version[0] | version[1] << 8);
    }

    libusb_context* m_usb = nullptr;
    libusb_device_handle* m_handle = nullptr;
    std::uint16_t m_interface = 0;
    std::uint16_t m_bcdDevice = 0;
};

Bytes image(std::size_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed ^ (i * 13));
    return bytes;
}

TEST_F(WholeUpdateTest, UpdatesTolerantAndNonTolerantControllers)
{
    for (const bool tolerant : {true, false}) {
        SCOPED_TRACE(tolerant ? "tolerant" : "not tolerant");
        ControllerConfig config;
        config.serialNumber = tolerant ? "VDX2024000010" : "VDX2024000011";
        config.dfuAttributes = DFU::kCanDownload | DFU::kWillDetach | (tolerant ? DFU::kManifestationTolerant : 0);
        config.pollTimeoutMs = 5000;  // the updater waits at most 1 s per poll
        config.manifestationTime = 1500ms;
        config.expectedAuxImage = image(15360, 0x5A);
        config.expectedMainImage = image(60416, 0xA5);
        auto controller = plugController(config);
        const std::string& serial = config.serialNumber;

        ASSERT_TRUE(connect(0x1300, serial));
        EXPECT_EQ(m_bcdDevice, 0x0020);
        EXPECT_EQ(auxVersion(), 0x66);

        // Into update mode: DFU_DETACH, 2.5 s, scan for the update-mode product id.
        ASSERT_EQ(send(0x21, DFU::eDetach, config.detachTimeOutMs), 0);
        disconnect();
        advance(2500ms);
        ASSERT_TRUE(connect(0x1302, serial));

        // Auxiliary image: 60 blocks of 256 bytes and the empty block 60.
        for (std::uint16_t block = 0; block <= 60; ++block) {
            const auto begin = config.expectedAuxImage.begin() + std::min<std::size_t>(block * 256u, 15360u);
            ASSERT_EQ(send(0x41, 0x1D, block, Bytes(begin, std::min(begin + 256, config.expectedAuxImage.end()))),
                      block < 60 ? 256 : 0);
        }

        // Main image: blocks of wTransferSize, each polled until the controller is no longer busy.
        const std::size_t size = config.expectedMainImage.size();
        std::uint16_t block = 0;
        for (std::size_t offset = 0; offset < size; offset += config.transferSize, ++block) {
            const auto begin = config.expectedMainImage.begin() + static_cast<std::ptrdiff_t>(offset);
            const Bytes data(
                begin, begin + static_cast<std::ptrdiff_t>(std::min<std::size_t>(config.transferSize, size - offset)));
            ASSERT_EQ(send(0x21, DFU::eDnload, block, data), static_cast<int>(data.size()));
            Bytes status = getStatus();
            while (status[4] == DFU::eDnBusy) {
                advance(std::chrono::milliseconds(std::min(status[1] | status[2] << 8 | status[3] << 16, 1000)));
                status = getStatus();
            }
            ASSERT_EQ(status[0], DFU::eOk);
            ASSERT_EQ(status[4], DFU::eDnloadIdle);
        }
        ASSERT_EQ(send(0x21, DFU::eDnload, block), 0);

        // Manifestation.
        std::uint8_t state = getState();
        bool reconnected = false;
        for (int round = 0; round < 10 && state != DFU::eDfuIdle && !reconnected; ++round) {
            if (state == DFU::eManifestSync) {
                ASSERT_EQ(getStatus()[0], DFU::eOk);
                state = DFU::eManifest;
            } else if (state == DFU::eManifest && tolerant) {
                advance(1s);
                state = getState();
            } else if (state == DFU::eManifest) {
                advance(10s);
                reconnected = connect(0x1300, serial);
            } else {
                FAIL() << "unexpected state " << DFU::stateName(state);
            }
        }
        if (tolerant) {
            ASSERT_EQ(state, DFU::eDfuIdle);
            EXPECT_EQ(getStatus()[4], DFU::eDfuIdle);
            ASSERT_EQ(send(0x21, DFU::eDetach, config.detachTimeOutMs), 0);  // back to application mode
        } else {
            ASSERT_TRUE(reconnected);  // already there: nothing to send
        }

        // The updater's check after settling.
        disconnect();
        advance(5s);
        ASSERT_TRUE(connect(0x1300, serial));
        EXPECT_EQ(m_bcdDevice, 0x0021);
        EXPECT_EQ(auxVersion(), 0x67);
        EXPECT_EQ(controller->receivedMainImage(), config.expectedMainImage);
        disconnect();
    }
}

}  // namespace
}  // namespace QV::SIM
