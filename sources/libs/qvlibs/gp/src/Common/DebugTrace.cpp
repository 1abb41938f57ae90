#include "GP/DebugTrace.h"

#include <mutex>
#include <set>

namespace QV::GP {

namespace {

// The mode and the listed groups; trace may be written from any thread.
std::mutex s_mutex;
int s_theMode = DebugTrace::eModeOff;
std::set<std::string> s_groups;

// True when a listed name is the group or one of its ancestors ("dev" for "dev" and "dev.x").
bool isListed(const std::string& group)
{
    for (const std::string& name : s_groups) {
        if (!name.empty() && group.compare(0, name.size(), name) == 0 &&
            (group.size() == name.size() || group[name.size()] == '.'))
            return true;
    }
    return false;
}

}  // namespace

bool DebugTrace::isGroupEnabled(const char* group)
{
    if (!group || !*group || *group == '+')
        return true;
    const bool marked = *group == '-';
    const std::string name = marked ? group + 1 : group;
    const std::lock_guard<std::mutex> lock(s_mutex);
    switch (s_theMode) {
    case eModeListed: return isListed(name);
    case eModeUnlessMarked: return !marked || isListed(name);
    default: return false;
    }
}

void DebugTrace::printLine(const char* group, const CharSequence<char>& text)
{
    if (!isGroupEnabled(group))
        return;
    std::string line;
    if (group && (*group == '+' || *group == '-'))
        ++group;
    if (group && *group) {
        line = group;
        line += ": ";
    }
    line.append(text.data(), text.size());
    line += '\n';
    // One write per line, so lines from several threads do not interleave within a line.
    std::FILE* out = s_fErr ? s_fErr : stderr;
    std::fwrite(line.data(), 1, line.size(), out);
    if (s_fErr)
        std::fflush(s_fErr);
}

void DebugTrace::setMode(int mode)
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    s_theMode = mode;
}

int DebugTrace::getMode()
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    return s_theMode;
}

void DebugTrace::addGroup(const std::string& group)
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    s_groups.insert(group);
}

void DebugTrace::clearGroupFilter()
{
    const std::lock_guard<std::mutex> lock(s_mutex);
    s_groups.clear();
}

}  // namespace QV::GP
