#pragma once

#include "qvsim/bus/UsbBus.h"
#include "qvsim/model/ControllerConfig.h"
#include "qvsim/model/ControllerModel.h"
#include "qvsim/model/VirtualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace QV::SIM {

// A fixture for tests that talk USB to simulated controllers: it owns a virtual clock, plugs
// controllers on the process's emulated bus and unplugs them all at the end. The program's injectable
// sleep becomes `[this](auto d) { advance(d); }`, so a whole update takes well under a second.
// The test binary must run under umockdev-wrapper (qv_usb_test in CMake).
class SimulatedBusTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Plugs a controller made from `config` on this fixture's clock and waits until libusb lists it.
    std::shared_ptr<ControllerModel> plugController(ControllerConfig config = {});

    // Moves the virtual time forward (re-enumerations due meanwhile happen) and waits until libusb
    // sees the bus as it now is.
    void advance(Clock::Duration duration);

    VirtualClock& clock() { return m_clock; }
    UsbBus& bus() { return *m_bus; }

private:
    VirtualClock m_clock;
    UsbBus* m_bus = nullptr;
    std::vector<std::shared_ptr<ControllerModel>> m_controllers;
};

}  // namespace QV::SIM
