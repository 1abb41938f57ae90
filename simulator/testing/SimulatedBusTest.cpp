#include "qvsim/testing/SimulatedBusTest.h"

namespace QV::SIM {

void SimulatedBusTest::SetUp() { m_bus = &UsbBus::instance(); }

void SimulatedBusTest::TearDown()
{
    for (const auto& controller : m_controllers)
        m_bus->unplug(controller);
    m_controllers.clear();
    EXPECT_TRUE(m_bus->waitSettled()) << "libusb still lists unplugged controllers";
}

std::shared_ptr<ControllerModel> SimulatedBusTest::plugController(ControllerConfig config)
{
    auto controller = ControllerModel::create(std::move(config), m_clock);
    m_bus->plug(controller);
    m_controllers.push_back(controller);
    EXPECT_TRUE(m_bus->waitSettled()) << "libusb does not list the plugged controller";
    return controller;
}

void SimulatedBusTest::advance(Clock::Duration duration)
{
    m_clock.advance(duration);
    EXPECT_TRUE(m_bus->waitSettled()) << "libusb does not see the bus as it is";
}

}  // namespace QV::SIM
