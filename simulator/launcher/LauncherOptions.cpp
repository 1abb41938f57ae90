#include "LauncherOptions.h"

#include "qvsim/model/SetupPacket.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <map>
#include <type_traits>

namespace QV::SIM {

namespace {

bool parseNumber(const std::string& text, unsigned long maximum, unsigned long& value)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

const std::map<std::string, std::pair<std::uint8_t, std::uint8_t>>& requestNames()
{
    static const std::map<std::string, std::pair<std::uint8_t, std::uint8_t>> s_names = {
        {"DETACH", {0x21, DFU::eDetach}},
        {"DNLOAD", {0x21, DFU::eDnload}},
        {"UPLOAD", {0xA1, DFU::eUpload}},
        {"GETSTATUS", {0xA1, DFU::eGetStatus}},
        {"CLRSTATUS", {0x21, DFU::eClrStatus}},
        {"GETSTATE", {0xA1, DFU::eGetState}},
        {"ABORT", {0x21, DFU::eAbort}},
        {"RESETINTODFU", {0x21, REQ::kXmosResetIntoDfu}},
        {"RESETFROMDFU", {0x21, REQ::kXmosResetFromDfu}},
        {"CUSTOM_WRITE", {0x41, REQ::kCustomImageBase + 1}},
        {"CUSTOM_VERSION", {0xC0, REQ::kCustomImageVersion}},
        {"GET_DESCRIPTOR", {0x80, REQ::kGetDescriptor}},
    };
    return s_names;
}

}  // namespace

std::optional<tRequestMatch> parseRequestMatch(const std::string& text)
{
    std::string name = text;
    tRequestMatch match;
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
        unsigned long occurrence = 0;
        if (!parseNumber(text.substr(colon + 1), 0xFFFFFFFFul, occurrence) || occurrence == 0)
            return std::nullopt;
        match.occurrence = static_cast<unsigned>(occurrence);
        name = text.substr(0, colon);
    }
    for (auto& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto known = requestNames().find(name);
    if (known != requestNames().end()) {
        match.bmRequestType = known->second.first;
        match.bRequest = known->second.second;
        return match;
    }
    const auto slash = name.find('/');
    unsigned long type = 0;
    unsigned long request = 0;
    if (slash == std::string::npos || !parseNumber(name.substr(0, slash), 0xFF, type) ||
        !parseNumber(name.substr(slash + 1), 0xFF, request))
        return std::nullopt;
    match.bmRequestType = static_cast<std::uint8_t>(type);
    match.bRequest = static_cast<std::uint8_t>(request);
    return match;
}

std::string numberedSerial(const std::string& base, unsigned index)
{
    if (index == 0)
        return base;
    std::size_t digits = base.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(base[digits - 1])))
        --digits;
    if (digits == base.size())
        return base + "-" + std::to_string(index + 1);
    std::string number = std::to_string(std::stoull(base.substr(digits)) + index);
    const std::size_t width = base.size() - digits;
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    return base.substr(0, digits) + number;
}

std::optional<tLauncherOptions> parseLauncherOptions(const std::vector<std::string>& arguments, std::string& error)
{
    tLauncherOptions options;
    ControllerConfig& config = options.controller;
    tFaults& faults = config.faults;

    using Handler = std::function<bool(const std::string&)>;
    const auto number = [](unsigned long maximum, auto& target) {
        return [maximum, &target](const std::string& value) {
            unsigned long parsed = 0;
            if (!parseNumber(value, maximum, parsed))
                return false;
            target = static_cast<std::remove_reference_t<decltype(target)>>(parsed);
            return true;
        };
    };
    const auto milliseconds = [](Clock::Duration& target) {
        return [&target](const std::string& value) {
            unsigned long parsed = 0;
            if (!parseNumber(value, 24ul * 3600 * 1000, parsed))
                return false;
            target = std::chrono::milliseconds(parsed);
            return true;
        };
    };
    const auto requests = [](std::vector<tRequestMatch>& target) {
        return [&target](const std::string& value) {
            const auto match = parseRequestMatch(value);
            if (match)
                target.push_back(*match);
            return match.has_value();
        };
    };
    const auto text = [](std::string& target) {
        return [&target](const std::string& value) {
            target = value;
            return !value.empty();
        };
    };
    const auto setBits = [&config](std::uint8_t bits, bool on) {
        return [&config, bits, on](const std::string&) {
            config.dfuAttributes =
                static_cast<std::uint8_t>(on ? config.dfuAttributes | bits : config.dfuAttributes & ~bits);
            return true;
        };
    };
    const auto flag = [](bool& target) {
        return [&target](const std::string&) {
            target = true;
            return true;
        };
    };
    const auto occurrenceOptional = [](unsigned& target) {
        return [&target](const std::string& value) {
            unsigned long parsed = 1;
            if (!value.empty() && (!parseNumber(value, 0xFFFFFFFFul, parsed) || parsed == 0))
                return false;
            target = static_cast<unsigned>(parsed);
            return true;
        };
    };

    // name -> (takes a value, handler). Options of kind "optional value" take it only as --name=VALUE.
    enum eArgument {
        eNone,
        eRequired,
        eOptional
    };
    const std::map<std::string, std::pair<eArgument, Handler>> table = {
        {"count",
         {eRequired, [&](const std::string& v) { return number(1000, options.count)(v) && options.count > 0; }}},
        {"serial", {eRequired, text(config.serialNumber)}},
        {"main-version", {eRequired, number(0xFFFF, config.mainVersion)}},
        {"aux-version", {eRequired, number(0xFFFF, config.auxVersion)}},
        {"transfer-size", {eRequired, number(0xFFFF, config.transferSize)}},
        {"poll-timeout", {eRequired, number(0xFFFFFF, config.pollTimeoutMs)}},
        {"detach-timeout", {eRequired, number(0xFFFF, config.detachTimeOutMs)}},
        {"manifestation-time", {eRequired, milliseconds(config.manifestationTime)}},
        {"reenumeration-delay", {eRequired, milliseconds(config.reenumerationDelay)}},
        {"tolerant", {eNone, setBits(DFU::kManifestationTolerant, true)}},
        {"not-tolerant", {eNone, setBits(DFU::kManifestationTolerant, false)}},
        {"will-detach", {eNone, setBits(DFU::kWillDetach, true)}},
        {"no-will-detach", {eNone, setBits(DFU::kWillDetach, false)}},
        {"update-mode",
         {eNone,
          [&](const std::string&) {
              config.initialMode = eMode::Update;
              return true;
          }}},
        {"stall", {eRequired, requests(faults.stall)}},
        {"never-answer", {eRequired, requests(faults.neverAnswer)}},
        {"busy-forever", {eNone, flag(faults.busyForever)}},
        {"stuck-in-manifest", {eNone, flag(faults.stuckInManifest)}},
        {"error-status",
         {eRequired,
          [&](const std::string& value) {
              tStatusFault fault;
              const auto colon = value.find(':');
              unsigned long status = 0;
              if (!parseNumber(value.substr(0, colon), 0xFF, status))
                  return false;
              fault.status = static_cast<std::uint8_t>(status);
              if (colon != std::string::npos) {
                  const std::string where = value.substr(colon + 1);
                  unsigned long block = 0;
                  if (where == "manifest")
                      fault.block = tStatusFault::kAtManifestation;
                  else if (parseNumber(where, 0xFFFF, block))
                      fault.block = static_cast<int>(block);
                  else
                      return false;
              }
              faults.statusError = fault;
              return true;
          }}},
        {"getstatus-length", {eRequired, [&](const std::string& v) { return number(6, faults.getStatusLength)(v); }}},
        {"short-device-descriptor",
         {eOptional,
          [&](const std::string& v) {
              faults.deviceDescriptorLength = 8;
              return v.empty() || (number(17, faults.deviceDescriptorLength)(v));
          }}},
        {"no-strings", {eNone, flag(faults.noStrings)}},
        {"stall-strings", {eNone, flag(faults.stallStrings)}},
        {"lost-reenumeration", {eOptional, occurrenceOptional(faults.lostReenumeration)}},
        {"late-reenumeration",
         {eRequired,
          [&](const std::string& value) {
              const auto colon = value.find(':');
              if (!milliseconds(faults.lateReenumerationDelay)(value.substr(0, colon)))
                  return false;
              return occurrenceOptional(faults.lateReenumeration)(colon == std::string::npos ? ""
                                                                                             : value.substr(colon + 1));
          }}},
        {"other-serial", {eRequired, text(faults.serialAfterReenumeration)}},
        {"main-image", {eRequired, text(options.mainImageFile)}},
        {"aux-image", {eRequired, text(options.auxImageFile)}},
        {"log", {eNone, flag(options.log)}},
        {"plug-on-signal", {eNone, flag(options.plugOnSignal)}},
        {"signal-at",
         {eRequired,
          [&](const std::string& value) {
              options.signalAt = parseRequestMatch(value);
              if (options.signalAt && options.signalAt->occurrence == 0)
                  options.signalAt->occurrence = 1;
              return options.signalAt.has_value();
          }}},
        {"signal",
         {eRequired,
          [&](const std::string& value) {
              static const std::map<std::string, int> s_signals = {
                  {"KILL", SIGKILL}, {"INT", SIGINT}, {"TERM", SIGTERM}};
              const auto known = s_signals.find(value);
              if (known == s_signals.end())
                  return false;
              options.signal = known->second;
              return true;
          }}},
        {"refuse-open", {eNone, flag(options.refuseOpen)}},
        {"runs", {eRequired, [&](const std::string& v) { return number(100, options.runs)(v) && options.runs > 0; }}},
        {"help", {eNone, flag(options.help)}},
    };

    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            ++i;
            break;
        }
        if (argument.rfind("--", 0) != 0)
            break;  // the command starts here
        std::string name = argument.substr(2);
        std::optional<std::string> value;
        const auto equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        const auto option = table.find(name);
        if (option == table.end()) {
            error = "unknown option --" + name;
            return std::nullopt;
        }
        const eArgument kind = option->second.first;
        if (kind == eNone && value) {
            error = "--" + name + " takes no value";
            return std::nullopt;
        }
        if (kind == eRequired && !value) {
            // No value of ours starts with "--": such a word is the next option or the "--" before
            // the command, and taking it would hide the missing value.
            if (i + 1 >= arguments.size() || arguments[i + 1].rfind("--", 0) == 0) {
                error = "--" + name + " needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (!option->second.second(value.value_or(""))) {
            error = "invalid value for --" + name + ": " + value.value_or("");
            return std::nullopt;
        }
    }
    options.command.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
    if (options.command.empty() && !options.help) {
        error = "no command to run";
        return std::nullopt;
    }
    return options;
}

std::string usage()
{
    return R"(usage: vdx-sim [options] [--] command [args...]

Runs command with simulated Vardolin Studio controllers on an emulated USB bus (umockdev), then
unplugs them and exits with the command's status.

Controllers:
  --count N                   N controllers, serial numbers counted up from the first
  --serial S                  serial number (VDX2024000001)
  --main-version N            bcdDevice (0x0020)
  --aux-version N             version of the auxiliary image (0x66)
  --update-mode               start in firmware-update mode (product id | 2)
  --main-image FILE           the main image that counts as an update (brings 0x0021;
                              default: the image the updater carries)
  --aux-image FILE            the auxiliary image that counts as an update (brings 0x67;
                              default: the image the updater carries)
DFU:
  --transfer-size N           wTransferSize (2048)
  --poll-timeout MS           bwPollTimeout of busy answers (10)
  --detach-timeout MS         wDetachTimeOut (1000)
  --manifestation-time MS     (1000)
  --reenumeration-delay MS    from a reset until the controller is back (1000)
  --tolerant, --not-tolerant  bitManifestationTolerant (set)
  --will-detach, --no-will-detach  bitWillDetach (set)
Faults:
  --stall REQ[:N]             stall every (or the N-th) such request
  --never-answer REQ[:N]      leave every (or the N-th) such request unanswered
                              REQ: DETACH DNLOAD UPLOAD GETSTATUS CLRSTATUS GETSTATE ABORT
                              RESETINTODFU RESETFROMDFU CUSTOM_WRITE CUSTOM_VERSION
                              GET_DESCRIPTOR, or 0xTT/0xRR (bmRequestType/bRequest)
  --busy-forever              every status poll after a block answers dfuDNBUSY
  --stuck-in-manifest         manifestation never ends
  --error-status S[:BLOCK]    status S and dfuERROR at the poll after block BLOCK (0), or
                              after the last one with BLOCK = manifest
  --getstatus-length N        answer N bytes to DFU_GETSTATUS
  --short-device-descriptor[=N]  answer N (8) bytes to GET_DESCRIPTOR(DEVICE)
  --no-strings                no string descriptors
  --stall-strings             stall every string request
  --lost-reenumeration[=N]    the N-th (first) re-enumeration never comes back
  --late-reenumeration MS[:N] the N-th (first) re-enumeration takes MS
  --other-serial S            serial number after re-enumerating
Other:
  --plug-on-signal            start the command with an empty bus and plug the controllers in
                              when vdx-sim receives SIGUSR1 (kill -USR1 <vdx-sim's pid>)
  --signal-at REQ[:N]         send the command a signal when a controller receives the N-th
                              (first) such request, before it is answered: an interruption
                              at a known point of an update
  --signal SIG                the signal of --signal-at: KILL (the default), INT or TERM
  --runs N                    run the command N times, one after the other, on the same
                              controllers (each run once they are back on the bus); the
                              status is the last run's
  --refuse-open               the controllers' device nodes refuse to be opened (EACCES), as
                              for a user without the udev rule (also when run as root: the
                              command is started without root's file access override)
  --log                       print every controller's request log to standard error at the end
  --help                      this text
)";
}

}  // namespace QV::SIM
