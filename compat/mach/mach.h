// Mach stand-in: the handful of Mach types and calls that the program and IOKit's callers name.
// Implements: port and return types, the task port of the running process (a constant: there is
// only one task), semaphores (mach/semaphore.h) and absolute time (mach/mach_time.h, included on
// its own as on the platform).
// Lacks: every other Mach facility (ports, messages, threads, virtual memory).
#pragma once

#include <cstdint>

typedef int kern_return_t;
typedef uint32_t mach_port_t;
typedef mach_port_t task_port_t;
typedef mach_port_t task_t;

constexpr kern_return_t KERN_SUCCESS = 0;
constexpr kern_return_t KERN_INVALID_ARGUMENT = 4;
constexpr kern_return_t KERN_FAILURE = 5;
constexpr kern_return_t KERN_RESOURCE_SHORTAGE = 6;
constexpr kern_return_t KERN_TERMINATED = 37;
constexpr mach_port_t MACH_PORT_NULL = 0;

mach_port_t mach_task_self();

#include "mach/semaphore.h"
