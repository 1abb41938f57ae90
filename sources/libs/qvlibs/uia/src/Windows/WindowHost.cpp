#include "UIA/WindowHost.h"

namespace QV::UIA::DETAIL {

namespace {

WindowHost s_defaultHost;
WindowHost* s_pHost = nullptr;

}  // namespace

WindowHost& WindowHost::get() { return s_pHost ? *s_pHost : s_defaultHost; }

WindowHost* WindowHost::install(WindowHost* host)
{
    WindowHost* previous = s_pHost;
    s_pHost = host;
    return previous;
}

bool WindowHost::sendApplicationEvent(unsigned, EventData*) { return false; }

bool WindowHost::sendWindowEventToApplication(unsigned, EventData*, WindowBase*) { return false; }

void WindowHost::addWindow(WindowBase*) {}

void WindowHost::removeWindow(WindowBase*) {}

void WindowHost::setMainWindow(WindowBase*) {}

bool WindowHost::isQuitting() const { return false; }

void WindowHost::postQuit() {}

void WindowHost::setSystemCursor(void*) {}

int WindowHost::appTarget() const { return 0; }

int WindowHost::acceleratorCommand(uint32_t) const { return 0; }

bool WindowHost::mainMenuPerformKeyEquivalent(id) { return false; }

void WindowHost::hideApplication(bool) {}

}  // namespace QV::UIA::DETAIL
