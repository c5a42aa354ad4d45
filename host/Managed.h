#pragma once
// Ownership holder under every handle: one heap object of the engine class,
// owned alone. Copying a handle copies that object by value, so two handles
// never share one; Dispose releases it early and a second Dispose is harmless.

#include <concepts>
#include <memory>
#include <stdexcept>

namespace Veltrix::Marlin {

template <typename T>
class Managed {
public:
    Managed()
        requires std::default_initializable<T>
        : instance_(std::make_unique<T>())
    {
    }
    explicit Managed(const T& value) : instance_(std::make_unique<T>(value)) {}
    // A null pointer gives a default object where T has one.
    explicit Managed(const T* value) : instance_(value ? std::make_unique<T>(*value) : Fresh()) {}

    Managed(const Managed& other) : instance_(other.instance_ ? std::make_unique<T>(*other.instance_) : Fresh()) {}
    Managed& operator=(const Managed& other)
    {
        if (this != &other) {
            instance_ = other.instance_ ? std::make_unique<T>(*other.instance_) : Fresh();
        }
        return *this;
    }
    virtual ~Managed() = default;

    // Null once disposed.
    T* GetInstance() const { return instance_.get(); }
    void Dispose() { instance_.reset(); }

protected:
    // The engine object; a disposed handle is a caller's mistake, reported
    // rather than dereferenced.
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

// Read-write property over a public field of the engine object.
#define PLOVER_FIELD_PROPERTY(Type, name)           \
    Type name() const { return Object().name; }     \
    void name(Type value) { Object().name = value; }

// Read-write property over an engine getter/setter pair.
#define PLOVER_ACCESSOR_PROPERTY(Type, name)          \
    Type name() const { return Object().name(); }     \
    void name(Type value) { Object().name(value); }

}  // namespace Veltrix::Marlin
