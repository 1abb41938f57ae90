// The USB library's trace. Lines go to the stream set for the current report level, else levels 2
// and 3 go to syslog (error and critical); level-1 lines without a stream are dropped.
#include "DVK2/Logging.h"

#include <syslog.h>

#include <cstdarg>
#include <cstdio>

namespace QV::DVK2::Logging {

std::array<std::ostream*, 4> destinationStream{};
std::mutex mtxTrace;
std::string strProvider;
std::set<std::string> allowedCategories;

namespace detail {

uint32_t __reportLevelAsUInt = eLevelError;

namespace {

std::ostream* currentStream()
{
    // A report level outside the table has no stream rather than reading past it.
    return __reportLevelAsUInt < destinationStream.size() ? destinationStream[__reportLevelAsUInt] : nullptr;
}

}  // namespace

void __trace__msg(Level level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (std::ostream* stream = currentStream()) {
        // The stream is chosen by the report level, not by the line's own level.
        char line[1024];
        std::vsnprintf(line, sizeof line, format, args);
        std::lock_guard<std::mutex> lock(mtxTrace);
        *stream << line;
        stream->flush();
    } else if (level == eLevelError) {
        vsyslog(LOG_ERR, format, args);
    } else if (level == eLevelCritical) {
        vsyslog(LOG_CRIT, format, args);
    }
    va_end(args);
}

}  // namespace detail

bool errorEnabled() { return detail::__reportLevelAsUInt <= eLevelError; }

bool detailEnabled(const char* category)
{
    return detail::__reportLevelAsUInt < eLevelError && category != nullptr && allowedCategories.count(category) != 0;
}

}  // namespace QV::DVK2::Logging
