#include "UIA/PowerManager.h"

#include <gio/gio.h>

#include <utility>

namespace QV::UIA {

namespace {

// The callbacks of the process's one power manager.
std::function<void()> g_onSystemSleep;
std::function<void()> g_onSystemWake;

constexpr const char* kLogindName = "org.freedesktop.login1";
constexpr const char* kLogindPath = "/org/freedesktop/login1";
constexpr const char* kManagerInterface = "org.freedesktop.login1.Manager";

// PrepareForSleep(true) before the system sleeps, (false) once it woke. Nothing is answered: the
// program holds no inhibitor, so logind does not wait for it.
void onPrepareForSleep(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                       gpointer)
{
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)")))
        return;
    gboolean sleeping = FALSE;
    g_variant_get(parameters, "(b)", &sleeping);
    const std::function<void()>& callback = sleeping ? g_onSystemSleep : g_onSystemWake;
    if (callback)
        callback();
}

// A connection of our own to the system bus (not GIO's shared one, so that it ends with us); null
// when there is no system bus.
GDBusConnection* connectSystemBus()
{
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
    if (!address)
        return nullptr;
    const auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                         G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(address, flags, nullptr, nullptr, nullptr);
    g_free(address);
    return connection;
}

}  // namespace

PowerManager::PowerManager(std::function<void()> onSleep, std::function<void()> onWake)
{
    GDBusConnection* connection = connectSystemBus();
    if (connection) {
        m_pConnection = connection;
        m_subscription = g_dbus_connection_signal_subscribe(
            connection, kLogindName, kManagerInterface, "PrepareForSleep", kLogindPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, &onPrepareForSleep, nullptr, nullptr);
    }
    g_onSystemSleep = std::move(onSleep);
    g_onSystemWake = std::move(onWake);
}

PowerManager::~PowerManager()
{
    // The callbacks may reach the owner, which goes now.
    g_onSystemSleep = nullptr;
    g_onSystemWake = nullptr;
    auto* connection = static_cast<GDBusConnection*>(m_pConnection);
    if (!connection)
        return;
    if (m_subscription != 0)
        g_dbus_connection_signal_unsubscribe(connection, m_subscription);
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
}

}  // namespace QV::UIA
