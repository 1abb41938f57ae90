#include "PXT/Signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace QV::PXT {
namespace {

TEST(SignalTest, EmitsToEverySlotInOrderAndNothingWithoutSlots)
{
    Signal<int, const std::string&> signal;
    signal(1, "nobody listens");
    std::vector<std::string> calls;
    signal.connect([&](int n, const std::string& s) { calls.push_back("a" + std::to_string(n) + s); });
    signal.connect([&](int n, const std::string& s) { calls.push_back("b" + std::to_string(n) + s); });
    signal(7, "x");
    EXPECT_EQ(calls, (std::vector<std::string>{"a7x", "b7x"}));
    EXPECT_EQ(signal.getConnectedCount(), 2u);
}

TEST(SignalTest, DisconnectRemovesOnlyItsSlot)
{
    Signal<> signal;
    std::string calls;
    Connection a = signal.connect([&] { calls += 'a'; });
    Connection b = signal.connect([&] { calls += 'b'; });
    signal.connect([&] { calls += 'c'; });
    b.disconnect();
    b.disconnect();
    signal();
    EXPECT_EQ(calls, "ac");
    EXPECT_EQ(signal.getConnectedCount(), 2u);
    a.disconnect();
    calls.clear();
    signal();
    EXPECT_EQ(calls, "c");
}

// A disconnected connection, or a copy of it, must not remove a later slot that reuses the place
// freed at the end of the slot vector.
TEST(SignalTest, StaleConnectionNeverDisconnectsSlotReusingItsPlace)
{
    Signal<> signal;
    std::string calls;
    Connection first = signal.connect([&] { calls += '1'; });
    const Connection copy = first;
    first.disconnect();
    signal.connect([&] { calls += '2'; });  // takes index 0 again

    Connection staleCopy = copy;
    staleCopy.disconnect();
    first.disconnect();
    signal();
    EXPECT_EQ(calls, "2");
    EXPECT_EQ(signal.getConnectedCount(), 1u);
}

TEST(SignalTest, SlotsConnectedOrDisconnectedDuringEmissionDoNotChangeIt)
{
    Signal<> signal;
    std::string calls;
    Connection second;
    signal.connect([&] {
        calls += 'a';
        signal.connect([&] { calls += 'n'; });
        second.disconnect();
    });
    second = signal.connect([&] { calls += 'b'; });
    signal();
    EXPECT_EQ(calls, "ab");  // the new slot is not called; the removed one still is
    calls.clear();
    signal();
    EXPECT_EQ(calls, "an");
}

TEST(SignalTest, ConnectionOutlivingItsSignalIsInert)
{
    Connection connection;
    {
        Signal<int> signal;
        connection = signal.connect([](int) {});
    }
    connection.disconnect();  // must not touch the destroyed signal (the sanitizer would see it)
    Connection never;
    never.disconnect();
}

TEST(SignalTest, ThrowingSlotEndsEmission)
{
    Signal<> signal;
    bool reached = false;
    signal.connect([] { throw std::runtime_error("slot"); });
    signal.connect([&] { reached = true; });
    EXPECT_THROW(signal(), std::runtime_error);
    EXPECT_FALSE(reached);
}

}  // namespace
}  // namespace QV::PXT
