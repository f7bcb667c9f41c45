#pragma once
#include <atomic>

namespace VSTGUI {

// An atomic value that views can copy in newCopy(): the copy starts with the value read now.
template <class T>
class CopyableAtomic {
public:
    CopyableAtomic(T value = T()) : value(value) {}
    CopyableAtomic(const CopyableAtomic& other) : value(other.load()) {}
    CopyableAtomic& operator=(const CopyableAtomic&) = delete;

    T load() const { return value.load(std::memory_order_acquire); }
    void store(T v) { value.store(v, std::memory_order_release); }
    T exchange(T v) { return value.exchange(v, std::memory_order_acq_rel); }

private:
    std::atomic<T> value;
};

// A member that a copy does not take over: the copy starts with T's default value.
template <class T>
class NotCopied {
public:
    NotCopied(T value = T()) : value(value) {}
    NotCopied(const NotCopied&) : value() {}
    NotCopied& operator=(const NotCopied&) = delete;
    NotCopied& operator=(T v) {
        value = v;
        return *this;
    }
    operator T() const { return value; }
    T operator->() const { return value; }

private:
    T value;
};

} // namespace VSTGUI
