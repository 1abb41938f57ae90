// The wizard's busy indicator: a panel whose attribute "step" ("S0" to "S11") picks one of twelve
// frames in the stylesheet. It does not run a timer of its own: the wizard calls onTimer once per
// 40 ms tick while an update runs, and the frame advances every second call (every 80 ms).
#pragma once

#include "PXT/Bar.h"

namespace QV {

class SpinningProgressWheel : public PXT::Bar {
public:
    static constexpr unsigned kStepCount = 12;

    SpinningProgressWheel();
    ~SpinningProgressWheel() override;

    // Nothing unless spinning; every second call moves to the next frame.
    void onTimer() override;

    // Starting resets the tick counter and the frame to "S0"; stopping keeps the frame shown.
    void setSpinning(bool spinning);
    bool isSpinning() const { return m_spinning; }
    unsigned getStep() const { return m_step; }

private:
    void setStep(unsigned step);

    bool m_spinning = false;
    int m_tickCounter = 0;
    unsigned m_step = 0;
};

}  // namespace QV
