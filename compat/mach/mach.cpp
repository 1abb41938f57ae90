#include "mach/mach.h"

// There is one task: the running process.
mach_port_t mach_task_self() { return 1; }
