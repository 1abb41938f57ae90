// The steps of the platform core's start, in their order, as a table that Lib::init runs: each
// starts one part and answers false when that part refuses (or throws). Lib::init stops what was
// started (Lib::deInit) when a step fails, so a test that puts a failing step in place of one of
// these sees that rollback with the real parts started before it.
#pragma once

#include <cstddef>

namespace QV::GP::DETAIL {

struct tLibStartStep {
    const char* name;
    bool (*pfnStart)();
};

// Thread-local storage, system information, the lock pool, the file types, the device
// notifications, the volumes. Only the lock pool's and the device notifications' answers count;
// the other parts report trouble by throwing.
extern const tLibStartStep kLibStartSteps[6];

// The steps that Lib::init runs: kLibStartSteps unless a test has put others in place (main
// thread, before init).
struct tLibStartSteps {
    const tLibStartStep* steps;
    std::size_t count;
};
extern tLibStartSteps g_libStartSteps;

}  // namespace QV::GP::DETAIL
