#include "platform/Lock.h"

#include <linux/futex.h>
#include <linux/membarrier.h>
#include <new>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tarn {

// A mutex with priority inheritance: a real-time thread waiting for it lends its priority to
// the holder.
struct Lock::Gate {
    Gate() {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
        const int failed = pthread_mutex_init(&mutex, &attributes);
        pthread_mutexattr_destroy(&attributes);
        if (failed) throw std::bad_alloc();
    }
    ~Gate() { pthread_mutex_destroy(&mutex); }
    pthread_mutex_t mutex;
};

Lock::Lock() : fenceFastSide(!processBarrierAvailable()), gate(std::make_unique<Gate>()) {}

Lock::~Lock() = default;

bool Lock::processBarrierAvailable() {
    static const bool available =
        syscall(SYS_membarrier, MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED, 0, 0) == 0;
    return available;
}

void Lock::processBarrier() { syscall(SYS_membarrier, MEMBARRIER_CMD_PRIVATE_EXPEDITED, 0, 0); }

void Lock::lockGate() { pthread_mutex_lock(&gate->mutex); }

bool Lock::tryLockGate() { return pthread_mutex_trylock(&gate->mutex) == 0; }

void Lock::unlockGate() { pthread_mutex_unlock(&gate->mutex); }

void Lock::sleepWhileFastInside() {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&fastInside), FUTEX_WAIT_PRIVATE, 1u, nullptr, nullptr, 0);
}

void Lock::wakeSlow() {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&fastInside), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace tarn
