// The core's resource tracker: one static object, holding nothing; its destructor is the place
// where leaked resources would be reported.
#pragma once

namespace QV::GP::DETAIL {

class ResourceTrackerBase {
public:
    virtual ~ResourceTrackerBase();
};

class TUResourceTracker : public ResourceTrackerBase {
public:
    ~TUResourceTracker() override;

    static TUResourceTracker s_theTracker;
};

}  // namespace QV::GP::DETAIL
