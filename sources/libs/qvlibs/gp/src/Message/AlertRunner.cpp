#include "GP/AlertRunner.h"

#include <atomic>

namespace QV::GP::DETAIL {

namespace {

std::atomic<AlertRunner*> s_installed{nullptr};

}  // namespace

AlertRunner& alertRunner()
{
    static PlatformAlertRunner s_platform;
    AlertRunner* installed = s_installed.load(std::memory_order_acquire);
    return installed ? *installed : s_platform;
}

AlertRunner* setAlertRunner(AlertRunner* runner) { return s_installed.exchange(runner, std::memory_order_acq_rel); }

}  // namespace QV::GP::DETAIL
