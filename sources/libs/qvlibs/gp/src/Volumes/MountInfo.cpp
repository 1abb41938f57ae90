#include "Volumes/MountInfo.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <sstream>

namespace QV::GP::DETAIL {

namespace {

const char* const kProcMountInfo = "/proc/self/mountinfo";

std::mutex s_pathLock;
std::string s_path;  // empty: kProcMountInfo

bool isOctal(char c) { return c >= '0' && c <= '7'; }

// Undoes the kernel's escapes: a backslash and three octal digits stand for one byte.
std::string unescape(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (std::string::size_type i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out.push_back(
                static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

bool parseNumber(const std::string& text, int& out)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    out = std::atoi(text.c_str());
    return true;
}

bool parseDevice(const std::string& text, unsigned& major, unsigned& minor)
{
    const std::string::size_type colon = text.find(':');
    int high = 0;
    int low = 0;
    if (colon == std::string::npos || !parseNumber(text.substr(0, colon), high) ||
        !parseNumber(text.substr(colon + 1), low))
        return false;
    major = static_cast<unsigned>(high);
    minor = static_cast<unsigned>(low);
    return true;
}

// One line: id parent major:minor root mount-point options [optional fields...] - type source super-options
bool parseLine(const std::string& line, tMountEntry& entry)
{
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint, options;
    if (!(fields >> id >> parent >> device >> root >> mountPoint >> options))
        return false;
    std::string field;
    while (fields >> field && field != "-") {
    }
    if (field != "-")
        return false;
    std::string fsType, source;
    if (!(fields >> fsType))
        return false;
    fields >> source;  // an empty source shows as a missing field
    if (!parseNumber(id, entry.mountId) || !parseNumber(parent, entry.parentId) ||
        !parseDevice(device, entry.devMajor, entry.devMinor))
        return false;
    entry.root = unescape(root);
    entry.mountPoint = unescape(mountPoint);
    entry.fsType = unescape(fsType);
    entry.source = unescape(source);
    return !entry.mountPoint.empty() && entry.mountPoint[0] == '/';
}

}  // namespace

std::vector<tMountEntry> parseMountInfo(const std::string& text)
{
    std::vector<tMountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        tMountEntry entry;
        if (parseLine(line, entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

// Reads the whole file from its start; a proc file reports no size, so until the end. False on a
// read error.
bool readAll(int fd, std::string& text)
{
    text.clear();
    char chunk[4096];
    for (off_t offset = 0;;) {
        const ssize_t count = ::pread(fd, chunk, sizeof chunk, offset);
        if (count < 0)
            return false;
        if (count == 0)
            return true;
        text.append(chunk, static_cast<size_t>(count));
        offset += count;
    }
}

std::vector<tMountEntry> readFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    const bool read = readAll(fd, text);
    ::close(fd);
    return read ? parseMountInfo(text) : std::vector<tMountEntry>();
}

// The process's own table, read again only when it changed: the kernel flags an open mountinfo file
// (POLLPRI) when a mount or unmount changes the table after the file was opened or last polled.
// Every file name's conversion asks for the table, so this saves reading it each time.
class ProcMountTable {
public:
    std::vector<tMountEntry> entries()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        if (m_fd < 0) {
            m_fd = ::open(kProcMountInfo, O_RDONLY | O_CLOEXEC);
            if (m_fd < 0)
                return {};
        }
        pollfd changed{m_fd, POLLPRI, 0};
        if (m_bValid && ::poll(&changed, 1, 0) == 0)
            return m_entries;
        std::string text;
        m_bValid = readAll(m_fd, text);
        m_entries = m_bValid ? parseMountInfo(text) : std::vector<tMountEntry>();
        return m_entries;
    }

private:
    std::mutex m_lock;
    int m_fd = -1;  // kept open for the life of the process
    bool m_bValid = false;
    std::vector<tMountEntry> m_entries;
};

}  // namespace

std::vector<tMountEntry> readMountTable()
{
    const std::string path = mountTablePath();
    if (path != kProcMountInfo)
        return readFile(path);
    static ProcMountTable* s_table = new ProcMountTable;  // never destroyed: usable in static destructors
    return s_table->entries();
}

void setMountTablePath(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(s_pathLock);
    s_path = path;
}

std::string mountTablePath()
{
    const std::lock_guard<std::mutex> lock(s_pathLock);
    return s_path.empty() ? std::string(kProcMountInfo) : s_path;
}

}  // namespace QV::GP::DETAIL
