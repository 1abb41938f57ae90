#include "GP/ResourceTracker.h"

namespace QV::GP::DETAIL {

ResourceTrackerBase::~ResourceTrackerBase() = default;

TUResourceTracker::~TUResourceTracker() = default;

TUResourceTracker TUResourceTracker::s_theTracker;

}  // namespace QV::GP::DETAIL
