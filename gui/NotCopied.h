#pragma once

namespace VSTGUI {

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
