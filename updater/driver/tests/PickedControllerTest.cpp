// The driver's check after an update reads the controller it updated, not another one on the bus.
#include "Update.h"

#include <DVK2/Sleep.h>
#include <FW/VardolinStudioImages.h>
#include <UpdateLogic/VDXUpdaterUpgradeLogic.h>

#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class PickedController : public QV::SIM::SimulatedBusTest {
protected:
    void TearDown() override
    {
        QV::DVK2::setSleepFunction({});
        SimulatedBusTest::TearDown();
    }
};

QV::SIM::ControllerConfig withImages(QV::SIM::ControllerConfig config)
{
    config.expectedMainImage.assign(QV::FW::VardolinStudio, QV::FW::VardolinStudio + QV::FW::kVardolinStudioSize);
    config.expectedAuxImage.assign(QV::FW::VardolinStudioPIC,
                                   QV::FW::VardolinStudioPIC + QV::FW::kVardolinStudioPICSize);
    return config;
}

TEST_F(PickedController, AnUpdatedControllerBackAtItsOldVersionFailsBesideAnUpToDateOne)
{
    QV::SIM::ControllerConfig picked = withImages({});
    picked.updatedMainVersion = picked.mainVersion;
    plugController(picked);

    // An up-to-date controller arrives during the reset's wait, once the first one is picked.
    QV::SIM::ControllerConfig upToDate = withImages({});
    upToDate.serialNumber = "VDX2024000002";
    upToDate.mainVersion = 0x21;
    upToDate.auxVersion = 0x67;
    std::shared_ptr<QV::SIM::ControllerModel> other;
    QV::DVK2::setSleepFunction([&](std::chrono::nanoseconds d) {
        if (!other)
            other = plugController(upToDate);
        advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d));
    });

    std::ostringstream out;
    QV::VDXUpdaterUpgradeLogic logic;
    EXPECT_EQ(QV::Driver::update(logic, out), QV::Driver::eUpdateFailed);
    EXPECT_NE(out.str().find("Verifying...\nController VDX2024000001: firmware 32 /"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("The controller does not report the new firmware (error 1)."), std::string::npos)
        << out.str();
    ASSERT_TRUE(other);
    EXPECT_EQ(other->reenumerations(), 0u);
}

}  // namespace
