// A vector of at most Capacity elements, stored in place: a local one lives
// on the stack and never allocates.
#pragma once

#include <cassert>
#include <cstddef>
#include <new>
#include <span>
#include <type_traits>

// Elements are constructed as they are appended, and only those; the type
// must be trivially destructible, so nothing is torn down.
template <class T, std::size_t Capacity>
class FixedCapacityVector {
    static_assert(std::is_trivially_destructible_v<T>);

public:
    FixedCapacityVector() = default;
    FixedCapacityVector(const FixedCapacityVector&) = delete;
    FixedCapacityVector& operator=(const FixedCapacityVector&) = delete;

    static constexpr std::size_t capacity() { return Capacity; }
    std::size_t size() const { return size_; }

    // Requires size() < capacity().
    void push_back(const T& value) {
        assert(size_ < Capacity);
        ::new (static_cast<void*>(storage_ + size_ * sizeof(T))) T(value);
        ++size_;
    }

    std::span<const T> elements() const {
        return {std::launder(reinterpret_cast<const T*>(storage_)), size_};
    }

private:
    alignas(T) unsigned char storage_[Capacity * sizeof(T)];
    std::size_t size_ = 0;
};
