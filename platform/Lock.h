#pragma once

namespace tarn {

// A reentrant lock: the thread that holds it may enter again.
// A Windows critical section on Windows, a recursive mutex elsewhere. The OS object lives in
// `storage`, so taking the lock is one call with no allocation or indirection.
class Lock {
public:
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void enter();
    void leave();

private:
    alignas(8) unsigned char storage[64];
};

// Holds a Lock for the life of a scope.
class LockGuard {
public:
    explicit LockGuard(Lock& l) : lock(l) { lock.enter(); }
    ~LockGuard() { lock.leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock;
};

} // namespace tarn
