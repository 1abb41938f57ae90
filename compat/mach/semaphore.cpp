#include "mach/semaphore.h"

#include <condition_variable>
#include <mutex>
#include <new>

namespace {

// One thread blocked in semaphore_wait; lives on that thread's stack and is linked into the
// semaphore's queue while it waits.
struct Waiter {
    std::condition_variable wake;
    Waiter* next = nullptr;
    kern_return_t result = KERN_SUCCESS;
    bool woken = false;
};

}  // namespace

struct qv_mach_semaphore {
    std::mutex mutex;
    std::condition_variable allLeft;  // destroy waits on it for the woken waiters to leave
    int count = 0;
    Waiter* head = nullptr;  // the queue of waiters, oldest first
    Waiter* tail = nullptr;
    int waitersInside = 0;  // threads between entering and leaving semaphore_wait's blocking path
    bool destroyed = false;

    // Unlinks the oldest waiter and wakes it with the given result. Called with the mutex held,
    // so the waiter cannot return (and free its record) before notify_one has finished.
    void wakeHead(kern_return_t result)
    {
        Waiter* waiter = head;
        head = waiter->next;
        if (head == nullptr)
            tail = nullptr;
        waiter->result = result;
        waiter->woken = true;
        waiter->wake.notify_one();
    }
};

kern_return_t semaphore_create(task_t, semaphore_t* semaphore, int policy, int value)
{
    if (semaphore == nullptr || policy != SYNC_POLICY_FIFO || value < 0)
        return KERN_INVALID_ARGUMENT;
    semaphore_t created = new (std::nothrow) qv_mach_semaphore;
    if (created == nullptr)
        return KERN_RESOURCE_SHORTAGE;
    created->count = value;
    *semaphore = created;
    return KERN_SUCCESS;
}

kern_return_t semaphore_destroy(task_t, semaphore_t semaphore)
{
    if (semaphore == nullptr)
        return KERN_INVALID_ARGUMENT;
    {
        std::unique_lock<std::mutex> lock(semaphore->mutex);
        semaphore->destroyed = true;
        while (semaphore->head != nullptr)
            semaphore->wakeHead(KERN_TERMINATED);
        semaphore->allLeft.wait(lock, [semaphore] { return semaphore->waitersInside == 0; });
    }
    delete semaphore;
    return KERN_SUCCESS;
}

kern_return_t semaphore_signal(semaphore_t semaphore)
{
    if (semaphore == nullptr)
        return KERN_INVALID_ARGUMENT;
    std::lock_guard<std::mutex> lock(semaphore->mutex);
    if (semaphore->destroyed)
        return KERN_TERMINATED;
    if (semaphore->head != nullptr)
        semaphore->wakeHead(KERN_SUCCESS);
    else
        ++semaphore->count;
    return KERN_SUCCESS;
}

kern_return_t semaphore_wait(semaphore_t semaphore)
{
    if (semaphore == nullptr)
        return KERN_INVALID_ARGUMENT;
    std::unique_lock<std::mutex> lock(semaphore->mutex);
    if (semaphore->destroyed)
        return KERN_TERMINATED;
    // A positive count means nobody queues (a signal hands its unit to a waiter instead of
    // counting it), so taking it here keeps the FIFO order.
    if (semaphore->count > 0) {
        --semaphore->count;
        return KERN_SUCCESS;
    }
    Waiter self;
    if (semaphore->tail != nullptr)
        semaphore->tail->next = &self;
    else
        semaphore->head = &self;
    semaphore->tail = &self;
    ++semaphore->waitersInside;
    self.wake.wait(lock, [&self] { return self.woken; });
    if (--semaphore->waitersInside == 0 && semaphore->destroyed)
        semaphore->allLeft.notify_all();
    return self.result;
}
