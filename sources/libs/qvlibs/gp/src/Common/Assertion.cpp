#include "GP/Assertion.h"

#include "GP/Message.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace QV::GP {

bool Assertion::s_bThrowException = false;
bool Assertion::s_bSilent = false;
void (*Assertion::s_PreAssertionHandler)(const char*, int, const char*) = nullptr;
void (*Assertion::s_TerminationHandler)() = nullptr;
std::atomic<int32_t> Assertion::s_iAssertReenter{1};

namespace {

constexpr std::size_t kMaxText = 1024;
// Shown in place of a file name that was left out.
constexpr const char* kUnknownFile = "(unknown file)";

// Null for a text that cannot be shown as it is: bytes of 0x80 or more, or too long.
const char* sanitised(const char* text)
{
    if (!text)
        return nullptr;
    std::size_t length = 0;
    for (; text[length]; ++length) {
        if (length + 1 >= kMaxText || static_cast<unsigned char>(text[length]) >= 0x80)
            return nullptr;
    }
    return text;
}

std::string report(const char* prefix, const char* file, int line, const char* text, const char* separator)
{
    std::string message = prefix;
    message += file ? file : kUnknownFile;
    message += ':' + std::to_string(line);
    if (text) {
        message += separator;
        message += text;
    }
    if (message.size() > kMaxText - 1)
        message.resize(kMaxText - 1);
    return message;
}

bool debuggerAttached()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 10, "TracerPid:") == 0)
            return std::strtol(line.c_str() + 10, nullptr, 10) != 0;
    }
    return false;
}

}  // namespace

const char* Assertion::exception::what() const noexcept
{
    thread_local char s_buffer[kMaxText];
    try {
        const std::string message = report("Assertion in ", m_file, m_line, m_text, " ");
        std::memcpy(s_buffer, message.c_str(), message.size() + 1);
    } catch (...) {
        std::strcpy(s_buffer, "Assertion");
    }
    return s_buffer;
}

void Assertion::DoFail(const char* file, int line, const char* text)
{
    file = sanitised(file);
    text = sanitised(text);
    if (s_bThrowException)
        throw exception(file, line, text);

    // A failure while another is being reported (on any thread): stop in the debugger, if any.
    if (s_iAssertReenter.fetch_sub(1) <= 0) {
        s_iAssertReenter.fetch_add(1);
        if (debuggerAttached())
            std::raise(SIGTRAP);
    }
    if (s_PreAssertionHandler)
        s_PreAssertionHandler(file, line, text);

    const std::string message = report("Error ", file, line, text, "\n\n");
    Message::show(message, Message::eTypeOK, Message::eButtonNone, Message::eIconInformation, nullptr);

    if (s_TerminationHandler)
        s_TerminationHandler();
    fcloseall();
    ExitProcess(1);
}

}  // namespace QV::GP
