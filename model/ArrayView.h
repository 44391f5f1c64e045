// A read-only view of elements that lie one after another in memory and
// belong to someone else: a pointer and a count, passed by value.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace lumaveil {

template <class T>
class ArrayView {
public:
    constexpr ArrayView() = default;
    constexpr ArrayView(const T* first, std::size_t count) : data_(first), size_(count) {}

    // Every element of a container that keeps them one after another and
    // gives them by data() and size(): std::vector, std::array and the like.
    // Implicit, so that callers pass the container itself; the view must not
    // outlive the container's elements.
    template <class Container,
              class = std::enable_if_t<std::is_convertible<
                  decltype(std::declval<const Container&>().data()), const T*>::value>>
    constexpr ArrayView(const Container& elements)
        : data_(elements.data()), size_(elements.size()) {}

    constexpr const T* data() const { return data_; }
    constexpr std::size_t size() const { return size_; }
    constexpr bool empty() const { return size_ == 0; }

    // Requires i < size().
    constexpr const T& operator[](std::size_t i) const { return data_[i]; }

    constexpr const T* begin() const { return data_; }
    constexpr const T* end() const { return data_ + size_; }

private:
    const T* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace lumaveil
