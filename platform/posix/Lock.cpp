#include "platform/Lock.h"

#include <new>
#include <pthread.h>

namespace tarn {

static_assert(sizeof(pthread_mutex_t) <= 64, "the mutex fits the lock's storage");

namespace {
pthread_mutex_t* mutexIn(unsigned char* storage) { return std::launder(reinterpret_cast<pthread_mutex_t*>(storage)); }
} // namespace

Lock::Lock() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (storage) pthread_mutex_t, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

Lock::~Lock() { pthread_mutex_destroy(mutexIn(storage)); }

void Lock::enter() { pthread_mutex_lock(mutexIn(storage)); }
void Lock::leave() { pthread_mutex_unlock(mutexIn(storage)); }

} // namespace tarn
