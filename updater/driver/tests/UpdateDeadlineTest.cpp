// The driver's wait for the update worker: a worker that does not finish is given up on at the
// deadline, asked to stop, and the update reported as failed.
#include "Update.h"

#include <DVK2/Sleep.h>
#include <UpdateLogic/VDXUpdaterUpgradeLogic.h>

#include "qvsim/testing/SimulatedBusTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

class UpdateDeadline : public QV::SIM::SimulatedBusTest {
protected:
    void TearDown() override
    {
        QV::DVK2::setSleepFunction({});
        SimulatedBusTest::TearDown();
    }
};

TEST_F(UpdateDeadline, AWorkerWithoutAResultIsGivenUpOn)
{
    plugController();

    // The worker's final 5 s wait holds until the driver has given up. The driver's result polls
    // pass in real time: while the worker runs, only the worker moves the simulated clock. Every
    // other wait moves it.
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
    const std::thread::id driverThread = std::this_thread::get_id();
    QV::DVK2::setSleepFunction([&](std::chrono::nanoseconds d) {
        if (std::this_thread::get_id() == driverThread && d < 1s) {
            std::this_thread::sleep_for(1ms);
            return;
        }
        if (d == 5s) {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [&] { return released; });
        }
        advance(std::chrono::duration_cast<QV::SIM::Clock::Duration>(d));
    });

    std::ostringstream out;
    {
        QV::VDXUpdaterUpgradeLogic logic;
        EXPECT_EQ(QV::Driver::update(logic, out, 300ms), QV::Driver::eUpdateFailed);
        {
            std::lock_guard<std::mutex> guard(lock);
            released = true;
        }
        changed.notify_all();
    }  // joins the worker
    EXPECT_NE(out.str().find("Writing both firmware images...\nThe update did not finish in time.\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("Verifying"), std::string::npos) << out.str();
}

}  // namespace
