// The udev rule in the bundle gives access to the controller in both its modes: its lines are
// evaluated, as udev matches them, against the ids the program scans for.
#include "DVK2/DFUDevice.h"
#include "DVK2/USBDeviceDB.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using tDevice = std::map<std::string, std::string>;  // SUBSYSTEM, ENV{DEVTYPE}, ATTR{idVendor}, ...

// One key of a rule line: NAME OP "VALUE".
struct tKey {
    std::string name;
    std::string op;
    std::string value;
};

std::vector<tKey> parseLine(const std::string& line)
{
    std::vector<tKey> keys;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == ','))
            ++at;
        if (at >= line.size())
            break;
        const std::size_t op = line.find_first_of("=!+:", at);
        const std::size_t open = line.find('"', op);
        const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
        if (op == std::string::npos || close == std::string::npos)
            return {{"(malformed)", "", line}};
        keys.push_back({line.substr(at, op - at), line.substr(op, open - op), line.substr(open + 1, close - open - 1)});
        at = close + 1;
    }
    return keys;
}

// Whether `value` matches a udev pattern: shell globs, alternatives separated by '|'.
bool matches(const std::string& pattern, const std::string& value)
{
    std::stringstream alternatives(pattern);
    for (std::string one; std::getline(alternatives, one, '|');)
        if (fnmatch(one.c_str(), value.c_str(), 0) == 0)
            return true;
    return false;
}

// Whether some rule of `rules` gives the seat's user access (TAG+="uaccess") to `device`. A
// match key the device does not carry fails the rule, as in udev.
bool grantsAccess(const std::string& rules, const tDevice& device)
{
    std::stringstream lines(rules);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        bool matched = true, grants = false;
        for (const tKey& key : parseLine(line)) {
            if (key.op == "==" || key.op == "!=") {
                const auto found = device.find(key.name);
                const bool equal = found != device.end() && matches(key.value, found->second);
                matched = matched && (key.op == "==" ? equal : !equal);
            } else if (key.name == "TAG" && key.op == "+=" && key.value == "uaccess") {
                grants = true;
            } else if (key.op != "=" && key.op != "+=" && key.op != ":=") {
                matched = false;  // not understood here: taken as no match
            }
        }
        if (matched && grants)
            return true;
    }
    return false;
}

std::string hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

tDevice usbDevice(const std::string& vendor, const std::string& product)
{
    return {
        {"SUBSYSTEM", "usb"}, {"ENV{DEVTYPE}", "usb_device"}, {"ATTR{idVendor}", vendor}, {"ATTR{idProduct}", product}};
}

TEST(UdevRule, GivesAccessToBothModesOfTheConfiguredVendorsController)
{
    std::ifstream file(QV_UDEV_RULE);
    ASSERT_TRUE(file) << QV_UDEV_RULE;
    std::stringstream text;
    text << file.rdbuf();
    const std::string rules = text.str();

    const unsigned application = QV::DVK2::USBDeviceDB::VardolinStudioDFU.productId;
    const unsigned update = QV::DVK2::DFU::updateModeProductId(application);
    const std::string vendor = hex4(QV::DVK2::USBDeviceDB::QVVendorId);
    struct {
        std::string what;
        tDevice device;
        bool granted;
    } cases[] = {
        {"application mode", usbDevice(vendor, hex4(application)), true},
        {"firmware-update mode", usbDevice(vendor, hex4(update)), true},
        {"another product of the vendor", usbDevice(vendor, hex4(application + 1)), false},
        {"another vendor's device", usbDevice(hex4(QV::DVK2::USBDeviceDB::QVVendorId ^ 0x0101), hex4(application)),
         false},
        {"an interface, not the device",
         {{"SUBSYSTEM", "usb"},
          {"ENV{DEVTYPE}", "usb_interface"},
          {"ATTR{idVendor}", vendor},
          {"ATTR{idProduct}", hex4(application)}},
         false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(grantsAccess(rules, c.device), c.granted) << c.what;
}

}  // namespace
