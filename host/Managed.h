#pragma once
/// @file
/// Ownership holder under every handle, and the property macros the handles use.

#include <concepts>
#include <memory>
#include <stdexcept>

namespace Veltrix::Marlin {

/// Ownership holder under every handle: one heap object of the engine class T,
/// owned alone.
///
/// Copying a handle copies that object by value, so two handles never share
/// one; Dispose() releases it early and a second Dispose() is harmless. Any
/// property or operation on a disposed handle throws std::logic_error
/// "The handle has been disposed.".
///
/// @code
/// Veltrix::Marlin::MarlinBlueprint a;
/// Veltrix::Marlin::MarlinBlueprint b = a;  // an independent copy
/// a.Dispose();                              // b is untouched; a.GetInstance() is now null
/// @endcode
template <typename T>
class Managed {
public:
    /// A default engine object (only where T has a default constructor).
    Managed()
        requires std::default_initializable<T>
        : instance_(std::make_unique<T>())
    {
    }
    /// A copy of value.
    explicit Managed(const T& value) : instance_(std::make_unique<T>(value)) {}
    /// A copy of *value; a null pointer gives a default object where T has
    /// one (and a disposed handle otherwise).
    explicit Managed(const T* value) : instance_(value ? std::make_unique<T>(*value) : Fresh()) {}

    /// A copy of the other handle's object; copying a disposed handle gives a
    /// default object where T has one.
    Managed(const Managed& other) : instance_(other.instance_ ? std::make_unique<T>(*other.instance_) : Fresh()) {}
    /// Replaces this handle's object with a copy of the other's (same rules as
    /// the copy constructor).
    Managed& operator=(const Managed& other)
    {
        if (this != &other) {
            instance_ = other.instance_ ? std::make_unique<T>(*other.instance_) : Fresh();
        }
        return *this;
    }
    /// Releases the engine object.
    virtual ~Managed() = default;

    /// The engine object, owned by this handle; null once disposed.
    T* GetInstance() const { return instance_.get(); }
    /// Releases the engine object early; later calls to the handle's
    /// properties throw std::logic_error. A second Dispose() is harmless.
    void Dispose() { instance_.reset(); }

protected:
    /// The engine object; a disposed handle is a caller's mistake, reported
    /// rather than dereferenced: std::logic_error "The handle has been disposed.".
    T& Object() const
    {
        if (!instance_) {
            throw std::logic_error("The handle has been disposed.");
        }
        return *instance_;
    }

private:
    static std::unique_ptr<T> Fresh()
    {
        if constexpr (std::default_initializable<T>) {
            return std::make_unique<T>();
        } else {
            return nullptr;
        }
    }

    std::unique_ptr<T> instance_;
};

/// Declares a read-write property over a public field of the engine object:
/// `Type name() const` reads the field, `void name(Type value)` writes it.
/// Both throw std::logic_error on a disposed handle.
#define PLOVER_FIELD_PROPERTY(Type, name)           \
    Type name() const { return Object().name; }     \
    void name(Type value) { Object().name = value; }

/// Declares a read-write property over an engine getter/setter pair:
/// `Type name() const` and `void name(Type value)`, with the engine's own
/// checks. Both throw std::logic_error on a disposed handle.
#define PLOVER_ACCESSOR_PROPERTY(Type, name)          \
    Type name() const { return Object().name(); }     \
    void name(Type value) { Object().name(value); }

}  // namespace Veltrix::Marlin
