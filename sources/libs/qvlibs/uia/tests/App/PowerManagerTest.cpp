// Power notices from a fake logind on a private bus that stands for the system bus: PrepareForSleep
// (true) runs the sleep callback, (false) the wake callback, and the program never asks logind for
// an inhibitor (so it never holds the system's sleep).
#include "QVTest/MainLoop.h"
#include "UIA/PowerManager.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace QV::UIA;
using QV::TEST::runMainLoopUntil;

constexpr const char* kManagerXml = R"(<node>
  <interface name="org.freedesktop.login1.Manager">
    <method name="Inhibit">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="h" direction="out"/>
    </method>
    <signal name="PrepareForSleep"><arg type="b"/></signal>
  </interface>
</node>)";

// A bus daemon of the test's own, and logind's Manager on it.
class FakeLogind : public ::testing::Test {
protected:
    void SetUp() override
    {
        const gchar* argv[] = {"dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr};
        gint out = -1;
        GError* error = nullptr;
        ASSERT_TRUE(g_spawn_async_with_pipes(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                                             nullptr, &m_daemon, nullptr, &out, nullptr, &error))
            << (error ? error->message : "");
        std::string address;
        char c;
        while (read(out, &c, 1) == 1 && c != '\n')
            address += c;
        close(out);
        ASSERT_FALSE(address.empty());
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);

        const auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
        m_bus = g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, &error);
        ASSERT_NE(m_bus, nullptr) << (error ? error->message : "");
        GVariant* reply =
            g_dbus_connection_call_sync(m_bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                        "RequestName", g_variant_new("(su)", "org.freedesktop.login1", 0u), nullptr,
                                        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
        ASSERT_NE(reply, nullptr) << (error ? error->message : "");
        g_variant_unref(reply);

        m_node = g_dbus_node_info_new_for_xml(kManagerXml, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakeLogind::onMethodCall, nullptr, nullptr, {}};
        m_object = g_dbus_connection_register_object(m_bus, "/org/freedesktop/login1", m_node->interfaces[0], &vtable,
                                                     this, nullptr, nullptr);
        ASSERT_NE(m_object, 0u);
    }

    void TearDown() override
    {
        if (m_object)
            g_dbus_connection_unregister_object(m_bus, m_object);
        if (m_node)
            g_dbus_node_info_unref(m_node);
        if (m_bus) {
            g_dbus_connection_close_sync(m_bus, nullptr, nullptr);
            g_object_unref(m_bus);
        }
        if (m_daemon > 0) {
            kill(m_daemon, SIGTERM);
            g_spawn_close_pid(m_daemon);
            waitpid(m_daemon, nullptr, 0);
        }
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }

    void prepareForSleep(bool sleeping)
    {
        g_dbus_connection_emit_signal(m_bus, nullptr, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                      "PrepareForSleep", g_variant_new("(b)", sleeping), nullptr);
        g_dbus_connection_flush_sync(m_bus, nullptr, nullptr);
    }

    static void onMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant*,
                             GDBusMethodInvocation* invocation, gpointer self)
    {
        static_cast<FakeLogind*>(self)->m_inhibits += std::string(method) == "Inhibit";
        g_dbus_method_invocation_return_dbus_error(invocation, "org.freedesktop.DBus.Error.AccessDenied", "test");
    }

    GPid m_daemon = 0;
    GDBusConnection* m_bus = nullptr;
    GDBusNodeInfo* m_node = nullptr;
    unsigned m_object = 0;
    int m_inhibits = 0;
};

TEST_F(FakeLogind, SleepAndWakeRunTheirCallbacksAndNoInhibitorIsTaken)
{
    int sleeps = 0;
    int wakes = 0;
    {
        PowerManager power([&sleeps] { ++sleeps; }, [&wakes] { ++wakes; });
        ASSERT_TRUE(power.isListening());
        // The subscription reaches the bus on its own connection, unordered with the fake's signals:
        // the first signal is repeated until it is heard.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sleeps == 0 && std::chrono::steady_clock::now() < deadline) {
            prepareForSleep(true);
            runMainLoopUntil([&sleeps] { return sleeps > 0; }, std::chrono::milliseconds(100));
        }
        ASSERT_GT(sleeps, 0);
        EXPECT_EQ(wakes, 0);

        const int sleepsBefore = sleeps;
        prepareForSleep(false);
        ASSERT_TRUE(runMainLoopUntil([&wakes] { return wakes == 1; }));
        EXPECT_EQ(sleeps, sleepsBefore);
    }
    EXPECT_EQ(m_inhibits, 0);
}

TEST(PowerManager, WithoutSystemBusNothingIsHeard)
{
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/qv-test-bus", 1);
    PowerManager power([] {}, [] {});
    EXPECT_FALSE(power.isListening());
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
