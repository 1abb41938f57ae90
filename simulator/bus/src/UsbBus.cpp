#include "qvsim/bus/UsbBus.h"

#include "SysfsEntry.h"
#include "UsbfsNode.h"

#include <libusb.h>
#include <sys/stat.h>
#include <umockdev.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace QV::SIM {

namespace {

constexpr unsigned kBus = 1;

std::string takeString(gchar* text)
{
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    GError* error = nullptr;
    if (!g_file_set_contents(path.c_str(), reinterpret_cast<const gchar*>(bytes.data()),
                             static_cast<gssize>(bytes.size()), &error)) {
        const std::string message = error ? error->message : path;
        g_clear_error(&error);
        throw std::runtime_error("emulated USB bus: cannot write " + message);
    }
}

// umockdev_in_mock_environment() only tells about umockdev-run; the preload itself shows in the maps.
bool preloadActive()
{
    gchar* maps = nullptr;
    if (!g_file_get_contents("/proc/self/maps", &maps, nullptr, nullptr))
        return false;
    const bool found = std::strstr(maps, "libumockdev-preload") != nullptr;
    g_free(maps);
    return found;
}

}  // namespace

struct UsbBus::tImpl {
    struct tPort {
        std::shared_ptr<ControllerModel> model;
        unsigned number = 0;
        // while enumerated:
        std::shared_ptr<UsbfsNode> node;
        std::uint8_t deviceNumber = 0;
        std::string sysPath;
        std::string devNode;
        bool openRefused = false;
    };

    UMockdevTestbed* testbed = nullptr;
    std::string root;

    mutable std::mutex mutex;
    std::vector<tPort> ports;
    // Nodes of past enumerations: clients that still hold them open get ENODEV from them. Kept until
    // the bus goes: umockdev does not report a client of this process closing its node.
    std::vector<std::shared_ptr<UsbfsNode>> retired;
    std::uint8_t nextDeviceNumber = 2;  // 1 belongs to the root hub on a real bus

    std::mutex contextMutex;
    libusb_context* context = nullptr;

    tPort* findLocked(const ControllerModel& model)
    {
        for (tPort& port : ports)
            if (port.model.get() == &model)
                return &port;
        return nullptr;
    }

    std::uint8_t allocateDeviceNumberLocked()
    {
        for (;;) {
            const std::uint8_t candidate = nextDeviceNumber;
            nextDeviceNumber = nextDeviceNumber >= 127 ? 2 : static_cast<std::uint8_t>(nextDeviceNumber + 1);
            const bool used = std::any_of(ports.begin(), ports.end(), [&](const tPort& port) {
                return port.node && port.deviceNumber == candidate;
            });
            if (!used)
                return candidate;
        }
    }

    void enumerateLocked(tPort& port)
    {
        const tUsbIdentity identity = port.model->identity();
        const std::uint8_t deviceNumber = allocateDeviceNumberLocked();
        const tSysfsEntry entry = makeSysfsEntry(identity, kBus, port.number, deviceNumber);

        // Node, handler and descriptors are in place before the "add" uevent that add_devicev sends:
        // libusb reads the descriptors as soon as it hears of the device.
        writeFile(root + entry.devNode, {});
        applyNodeModeLocked(root + entry.devNode, port.openRefused);
        auto node = std::make_shared<UsbfsNode>(port.model, identity.mode, deviceNumber);
        GError* error = nullptr;
        if (!umockdev_testbed_attach_ioctl(testbed, entry.devNode.c_str(), node->handler(), &error)) {
            const std::string message = error ? error->message : entry.devNode;
            g_clear_error(&error);
            throw std::runtime_error("emulated USB bus: cannot attach the usbfs handler: " + message);
        }
        const std::string sysDirectory = root + "/sys/devices/" + entry.name;
        g_mkdir_with_parents(sysDirectory.c_str(), 0755);
        writeFile(sysDirectory + "/descriptors", entry.descriptors);

        std::vector<gchar*> attributes;
        for (const auto& [name, value] : entry.attributes) {
            attributes.push_back(const_cast<gchar*>(name.c_str()));
            attributes.push_back(const_cast<gchar*>(value.c_str()));
        }
        attributes.push_back(nullptr);
        std::vector<gchar*> properties;
        for (const auto& [name, value] : entry.properties) {
            properties.push_back(const_cast<gchar*>(name.c_str()));
            properties.push_back(const_cast<gchar*>(value.c_str()));
        }
        properties.push_back(nullptr);
        port.sysPath = takeString(umockdev_testbed_add_devicev(testbed, "usb", entry.name.c_str(), nullptr,
                                                               attributes.data(), properties.data()));
        port.node = std::move(node);
        port.deviceNumber = deviceNumber;
        port.devNode = entry.devNode;
    }

    // An ordinary user may open the node, or nobody but a process with root rights.
    static void applyNodeModeLocked(const std::string& path, bool refused)
    {
        if (chmod(path.c_str(), refused ? 0 : 0666) != 0)
            throw std::runtime_error("emulated USB bus: cannot change the mode of " + path);
    }

    void disconnectLocked(tPort& port)
    {
        if (!port.node)
            return;
        port.node->disconnect();
        umockdev_testbed_uevent(testbed, port.sysPath.c_str(), "remove");
        GError* error = nullptr;
        if (!umockdev_testbed_detach_ioctl(testbed, port.devNode.c_str(), &error))
            g_clear_error(&error);  // nothing attached: nothing to undo
        umockdev_testbed_remove_device(testbed, port.sysPath.c_str());
        std::remove((root + port.devNode).c_str());
        retired.push_back(std::move(port.node));
        port.node.reset();
        port.deviceNumber = 0;
        port.sysPath.clear();
        port.devNode.clear();
    }

    void onBusRequest(const ControllerModel* model, const tBusRequest& request)
    {
        std::lock_guard<std::mutex> lock(mutex);
        tPort* port = findLocked(*model);
        if (!port)
            return;  // unplugged meanwhile
        try {
            disconnectLocked(*port);
            if (request.kind == tBusRequest::eKind::Arrive)
                enumerateLocked(*port);
        } catch (const std::exception& error) {
            // On a clock thread nobody could catch it: the controller stays off the bus, which the
            // test sees, and the reason goes to standard error.
            std::fprintf(stderr, "%s\n", error.what());
        }
    }
};

UsbBus& UsbBus::instance()
{
    static UsbBus s_bus;
    return s_bus;
}

UsbBus::UsbBus() : m_impl(std::make_unique<tImpl>())
{
    if (!preloadActive())
        throw std::runtime_error(
            "the emulated USB bus needs umockdev's preload: run the program under umockdev-wrapper");
    m_impl->testbed = umockdev_testbed_new();
    m_impl->root = takeString(umockdev_testbed_get_root_dir(m_impl->testbed));
    // libusb looks for usbfs at init and accepts /dev/bus/usb only when it holds an entry; umockdev
    // removes a device's node folder with its last node. The root hub's node keeps it (it has no sysfs
    // entry, so libusb lists no root hub).
    const std::string busDirectory = m_impl->root + "/dev/bus/usb/001";
    g_mkdir_with_parents(busDirectory.c_str(), 0755);
    writeFile(busDirectory + "/001", {});
}

UsbBus::~UsbBus()
{
    unplugAll();
    if (m_impl->context)
        libusb_exit(m_impl->context);
    m_impl->retired.clear();
    g_object_unref(m_impl->testbed);
}

void UsbBus::plug(std::shared_ptr<ControllerModel> model)
{
    if (!model)
        throw std::invalid_argument("UsbBus::plug: no model");
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    if (m_impl->findLocked(*model))
        throw std::logic_error("UsbBus::plug: the controller is plugged already");

    unsigned number = 1;
    while (std::any_of(m_impl->ports.begin(), m_impl->ports.end(),
                       [&](const tImpl::tPort& port) { return port.number == number; }))
        ++number;
    m_impl->ports.push_back({model, number, nullptr, 0, {}, {}});

    tImpl* impl = m_impl.get();
    const ControllerModel* key = model.get();
    model->setBusListener([impl, key](const tBusRequest& request) { impl->onBusRequest(key, request); });
    try {
        if (model->onBus())
            m_impl->enumerateLocked(m_impl->ports.back());
    } catch (...) {
        model->setBusListener(nullptr);
        m_impl->ports.pop_back();
        throw;
    }
}

void UsbBus::unplug(const std::shared_ptr<ControllerModel>& model)
{
    if (!model)
        return;
    model->setBusListener(nullptr);  // before the lock: a running listener call may hold it
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    auto& ports = m_impl->ports;
    auto found =
        std::find_if(ports.begin(), ports.end(), [&](const tImpl::tPort& port) { return port.model == model; });
    if (found == ports.end())
        return;
    m_impl->disconnectLocked(*found);
    ports.erase(found);
}

void UsbBus::unplugAll()
{
    std::vector<std::shared_ptr<ControllerModel>> models;
    {
        std::lock_guard<std::mutex> lock(m_impl->mutex);
        for (const auto& port : m_impl->ports)
            models.push_back(port.model);
    }
    for (const auto& model : models)
        unplug(model);
}

bool UsbBus::waitSettled(std::chrono::steady_clock::time_point deadline)
{
    std::lock_guard<std::mutex> contextLock(m_impl->contextMutex);
    if (!m_impl->context && libusb_init(&m_impl->context) != LIBUSB_SUCCESS) {
        m_impl->context = nullptr;
        return false;
    }
    for (;;) {
        std::set<int> expected;
        {
            std::lock_guard<std::mutex> lock(m_impl->mutex);
            for (const auto& port : m_impl->ports)
                if (port.node)
                    expected.insert(port.deviceNumber);
        }
        std::set<int> listed;
        libusb_device** devices = nullptr;
        const ssize_t count = libusb_get_device_list(m_impl->context, &devices);
        for (ssize_t i = 0; i < count; ++i)
            if (libusb_get_bus_number(devices[i]) == kBus)
                listed.insert(libusb_get_device_address(devices[i]));
        if (count >= 0)
            libusb_free_device_list(devices, 1);
        if (listed == expected)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool UsbBus::waitSettled(std::chrono::milliseconds timeout)
{
    return waitSettled(std::chrono::steady_clock::now() + timeout);
}

void UsbBus::setOpenRefused(const ControllerModel& model, bool refused)
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    tImpl::tPort* port = m_impl->findLocked(model);
    if (!port)
        return;
    port->openRefused = refused;
    if (port->node)
        m_impl->applyNodeModeLocked(m_impl->root + port->devNode, refused);
}

std::optional<tUsbAddress> UsbBus::address(const ControllerModel& model) const
{
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    const tImpl::tPort* port = m_impl->findLocked(model);
    if (!port || !port->node)
        return std::nullopt;
    return tUsbAddress{static_cast<std::uint8_t>(kBus), port->deviceNumber};
}

std::string UsbBus::rootDirectory() const { return m_impl->root; }

}  // namespace QV::SIM
