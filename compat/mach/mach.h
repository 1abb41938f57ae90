// Mach stand-in: the handful of Mach types and calls that IOKit's callers name.
// Implements: port and return types, the task port of the running process (a constant: there is
// only one task). Lacks: every real Mach facility.
#pragma once

#include <cstdint>

typedef int kern_return_t;
typedef uint32_t mach_port_t;
typedef mach_port_t task_port_t;

constexpr kern_return_t KERN_SUCCESS = 0;
constexpr kern_return_t KERN_FAILURE = 5;
constexpr mach_port_t MACH_PORT_NULL = 0;

mach_port_t mach_task_self();
