// Mach semaphore stand-in over POSIX threads.
// Implements: semaphore_create (SYNC_POLICY_FIFO only), semaphore_wait, semaphore_signal,
// semaphore_destroy.
// Lacks: timed waits, signal-all, signal-thread, the other sync policies (refused with
// KERN_INVALID_ARGUMENT).
// Deviations:
// - A semaphore_t is a pointer to the stand-in's own object, not a port name; using one after
//   semaphore_destroy is undefined instead of failing with KERN_INVALID_ARGUMENT.
// - FIFO hand-over is exact: every waiter queues in the order in which it entered
//   semaphore_wait, and a signal with waiters hands the unit straight to the head of that queue
//   (the count stays 0, so a thread that arrives later cannot take it first). The queue is guarded
//   by a mutex; each waiter sleeps on a condition variable of its own, so a signal wakes exactly
//   one thread. Plain POSIX semaphores promise no such order, hence this construction.
// - Destroying a semaphore that has waiters wakes them all with KERN_TERMINATED, as Mach does,
//   and returns only after they have left the semaphore, so their wake-up never touches freed
//   memory. Waiting on or signalling a semaphore whose destruction has begun answers
//   KERN_TERMINATED.
// - The task argument is not checked: there is only one task.
#pragma once

#include "mach/mach.h"

typedef struct qv_mach_semaphore* semaphore_t;

constexpr semaphore_t SEMAPHORE_NULL = nullptr;
constexpr int SYNC_POLICY_FIFO = 0;

// Creates a semaphore whose count starts at value (0 or more) in *semaphore. Returns
// KERN_INVALID_ARGUMENT for a null out-pointer, a negative value or a policy other than FIFO,
// KERN_RESOURCE_SHORTAGE when no memory is left.
kern_return_t semaphore_create(task_t task, semaphore_t* semaphore, int policy, int value);

// Wakes every waiter with KERN_TERMINATED, waits until they have gone and frees the semaphore.
kern_return_t semaphore_destroy(task_t task, semaphore_t semaphore);

// Hands one unit to the longest waiting thread, or adds it to the count when nobody waits.
// Never blocks.
kern_return_t semaphore_signal(semaphore_t semaphore);

// Takes one unit: at once when the count is above 0, else blocks until a signal hands one over
// (KERN_SUCCESS) or the semaphore is destroyed (KERN_TERMINATED).
kern_return_t semaphore_wait(semaphore_t semaphore);
