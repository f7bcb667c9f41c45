#pragma once
#include <utility>

namespace VSTGUI {

// Holds one reference to a counted object: copies remember, destruction forgets.
template <class T>
class SharedPointer {
public:
    SharedPointer() = default;
    // Takes a reference of its own; the caller keeps its reference.
    SharedPointer(T* object) : object(object) {
        if (object) object->remember();
    }
    SharedPointer(const SharedPointer& other) : SharedPointer(other.object) {}
    SharedPointer(SharedPointer&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    ~SharedPointer() {
        if (object) object->forget();
    }
    SharedPointer& operator=(SharedPointer other) {
        std::swap(object, other.object);
        return *this;
    }

    // Takes over the reference the caller holds (for example of a newly created object).
    static SharedPointer adopt(T* object) {
        SharedPointer p;
        p.object = object;
        return p;
    }

    T* get() const { return object; }
    T* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T* object = nullptr;
};

// Takes over the reference of a newly created object.
template <class T>
SharedPointer<T> owned(T* object) {
    return SharedPointer<T>::adopt(object);
}

} // namespace VSTGUI
