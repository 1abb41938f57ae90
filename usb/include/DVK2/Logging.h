// The USB library's trace: one printf-style entry point and process-wide settings. Callers apply
// the production rules (levelEnabled, detailEnabled) before formatting anything; every line
// starts with its category ("%s: ", "DFUDevice").
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <set>
#include <string>

namespace QV::DVK2::Logging {

enum Level : uint32_t {
    eLevelDetail = 1,  // category-filtered
    eLevelError = 2,
    eLevelCritical = 3,
};

extern std::array<std::ostream*, 4> destinationStream;  // per report level; null: the system log
extern std::mutex mtxTrace;
extern std::string strProvider;
extern std::set<std::string> allowedCategories;

namespace detail {
extern uint32_t __reportLevelAsUInt;  // messages below it are not produced; 2 at start

// Writes one line: to destinationStream[current level] when set (cut to 1,023 characters), else
// levels 2 and 3 to the system log.
void __trace__msg(Level level, const char* format, ...) __attribute__((format(printf, 2, 3)));
}  // namespace detail

// The production rules.
bool errorEnabled();                       // level 2
bool detailEnabled(const char* category);  // level 1, by category

}  // namespace QV::DVK2::Logging
