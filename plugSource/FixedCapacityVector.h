// A vector of at most Capacity elements, stored in place: a local one lives
// on the stack and never allocates.
#pragma once

#include <cassert>
#include <cstddef>
#include <new>
#include <type_traits>

#include "model/ArrayView.h"

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

    lumaveil::ArrayView<T> elements() const {
        const T* first = reinterpret_cast<const T*>(storage_);
        // libstdc++ has no std::launder under Clang before 7; there the cast
        // alone names the elements.
#if defined(__cpp_lib_launder)
        first = std::launder(first);
#endif
        return {first, size_};
    }

private:
    alignas(T) unsigned char storage_[Capacity * sizeof(T)];
    std::size_t size_ = 0;
};
