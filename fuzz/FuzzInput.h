// Reads typed values off the front of a fuzzer's input. Once the bytes run
// out every value reads as zero, so a short input is still a whole case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <tuple>

namespace lumaveil::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t remaining() const { return size_; }

    // Any 32-bit pattern: NaNs, infinities and denormals included.
    float anyFloat() {
        float value = 0.0f;
        take(&value, sizeof value);
        return value;
    }

    std::uint32_t word() {
        std::uint32_t value = 0;
        take(&value, sizeof value);
        return value;
    }

    std::uint8_t byte() {
        std::uint8_t value = 0;
        take(&value, sizeof value);
        return value;
    }

    bool flag() { return (byte() & 1u) != 0; }

    // A light's ambient, diffuse and specular switches, from one byte.
    std::tuple<bool, bool, bool> lightSwitches() {
        const std::uint8_t flags = byte();
        return {(flags & 1u) != 0, (flags & 2u) != 0, (flags & 4u) != 0};
    }

    // A number in [0, bound).
    unsigned int below(unsigned int bound) { return bound == 0 ? 0 : byte() % bound; }

    // Mostly ordinary values, now and then any bit pattern: a first byte picks
    // between a value in [-2, 2], a special value and raw bits.
    float mixedFloat() {
        const std::uint8_t kind = byte();
        if (kind < 160) {
            return static_cast<float>(static_cast<std::int16_t>(word() & 0xffffu)) / 16384.0f;
        }
        if (kind < 200) {
            static const float specials[] = {0.0f,
                                             -0.0f,
                                             1.0f,
                                             -1.0f,
                                             0.5f,
                                             1e-45f,
                                             1e-38f,
                                             3.4e38f,
                                             -3e38f,
                                             1.333f,
                                             std::numeric_limits<float>::infinity(),
                                             -std::numeric_limits<float>::infinity(),
                                             std::numeric_limits<float>::quiet_NaN()};
            return specials[byte() % (sizeof specials / sizeof specials[0])];
        }
        return anyFloat();
    }

    void take(void* out, std::size_t bytes) {
        const std::size_t n = bytes < size_ ? bytes : size_;
        std::memset(out, 0, bytes);
        if (n != 0) {
            std::memcpy(out, data_, n);
        }
        data_ += n;
        size_ -= n;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace lumaveil::fuzz
