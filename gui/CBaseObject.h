#pragma once
#include <atomic>
#include <cstdint>
#include <cstring>

namespace VSTGUI {

using IdStringPtr = const char*;

// Reference counting of the toolkit: an object starts with one reference, remember() adds
// one, forget() releases one and deletes the object at zero. Counting is atomic, so
// references may be taken and released on any thread.
class CBaseObject {
public:
    CBaseObject() = default;
    // A copy is a new object with its own single reference.
    CBaseObject(const CBaseObject&) {}
    CBaseObject& operator=(const CBaseObject&) = delete;

    virtual void remember() { nbReference.fetch_add(1, std::memory_order_relaxed); }
    virtual void forget() {
        if (nbReference.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    int32_t getNbReference() const { return nbReference.load(std::memory_order_relaxed); }

    virtual bool isTypeOf(IdStringPtr s) const { return std::strcmp(s, "CBaseObject") == 0; }
    virtual IdStringPtr getClassName() const { return "CBaseObject"; }
    // A new object with the same settings and one reference, or null when the class has no copy.
    virtual CBaseObject* newCopy() const { return nullptr; }

protected:
    // Only forget() deletes: nobody deletes a counted object by hand.
    virtual ~CBaseObject() = default;

private:
    std::atomic<int32_t> nbReference{1};
};

} // namespace VSTGUI

// Type queries and copying for a class derived from parent: isTypeOf answers true for the
// class's own name and for every ancestor's.
#define CLASS_METHODS(name, parent)                                                                                  \
    bool isTypeOf(VSTGUI::IdStringPtr s) const override { return std::strcmp(s, #name) == 0 || parent::isTypeOf(s); } \
    VSTGUI::IdStringPtr getClassName() const override { return #name; }                                              \
    VSTGUI::CBaseObject* newCopy() const override { return new name(*this); }

#define CLASS_METHODS_NOCOPY(name, parent)                                                                           \
    bool isTypeOf(VSTGUI::IdStringPtr s) const override { return std::strcmp(s, #name) == 0 || parent::isTypeOf(s); } \
    VSTGUI::IdStringPtr getClassName() const override { return #name; }                                              \
    VSTGUI::CBaseObject* newCopy() const override { return nullptr; }

// For abstract classes: type queries only; the concrete classes supply newCopy.
#define CLASS_METHODS_VIRTUAL(name, parent)                                                                          \
    bool isTypeOf(VSTGUI::IdStringPtr s) const override { return std::strcmp(s, #name) == 0 || parent::isTypeOf(s); } \
    VSTGUI::IdStringPtr getClassName() const override { return #name; }
