#include "Updater/SpinningProgressWheel.h"

#include "GP/Format.h"

namespace QV {

SpinningProgressWheel::SpinningProgressWheel() = default;

SpinningProgressWheel::~SpinningProgressWheel() = default;

void SpinningProgressWheel::onTimer()
{
    if (!m_spinning)
        return;
    ++m_tickCounter;
    if (m_tickCounter % 2 == 0)
        setStep((m_step + 1) % kStepCount);
}

void SpinningProgressWheel::setSpinning(bool spinning)
{
    m_spinning = spinning;
    if (!spinning)
        return;
    m_tickCounter = 0;
    setStep(0);
}

void SpinningProgressWheel::setStep(unsigned step)
{
    m_step = step;
    setAttribute("step", GP::formatText("S%u", m_step));
}

}  // namespace QV
