// Reading a parameter of the running shader for this call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <shader.h>
#include "mentalray/binding.h"

// A condition that nearly always holds, said to the compilers that take the
// hint.
#if defined(__GNUC__)
#define LUMAVEIL_MR_EXPECTED(condition) __builtin_expect(static_cast<bool>(condition), true)
#else
#define LUMAVEIL_MR_EXPECTED(condition) (condition)
#endif

namespace lumaveil::mr {

// The address at which the value of the parameter at `field` is found for
// this call: the field itself, unless the running shader's ghost word for it
// says that another shader drives it, in which case the renderer evaluates it.
// One 32-bit ghost word is tested per field, whatever the field's type. The
// value is only ever read.
template <class T>
const T* evaluateParam(miState* state, const T* field) {
    const miInteger ghostOffset = state->shader->ghost_offs;
    if (ghostOffset == 0) {
        return field;
    }
    std::uint32_t ghost = 0;
    std::memcpy(&ghost, reinterpret_cast<const unsigned char*>(field) + ghostOffset, sizeof ghost);
    if (LUMAVEIL_MR_EXPECTED(ghost == 0)) {
        return field;
    }
    return static_cast<const T*>(mr::mi_phen_eval(state, const_cast<T*>(field)));
}

// Whether the running shader's ghost word of any word of the `bytes` bytes
// at `record` is set: a multiple of 4 bytes, at least 16. Where none is,
// evaluateParam gives every field of the record its own address and calls
// nothing, so a call may read the fields in place: the same values, without
// testing them one by one. The ghost words are only read.
inline bool anyGhostWordSet(const miState* state, const void* record, std::size_t bytes) {
    const miInteger ghostOffset = state->shader->ghost_offs;
    if (ghostOffset == 0) {
        return false;
    }
    const unsigned char* const ghosts = static_cast<const unsigned char*>(record) + ghostOffset;
#if defined(__GNUC__) && !defined(_MSC_VER)
    // Sixteen bytes at a time; the last block may overlap the one before.
    using Words = std::uint32_t __attribute__((vector_size(16)));
    Words any{};
    // GCC takes the unrolling hint from 8 on; Clang unrolls the loop of a
    // known size by itself.
#if !defined(__clang__) && __GNUC__ >= 8
#pragma GCC unroll 16
#endif
    for (std::size_t i = 0; i + 16 <= bytes; i += 16) {
        Words block;
        std::memcpy(&block, ghosts + i, sizeof block);
        any |= block;
    }
    Words last;
    std::memcpy(&last, ghosts + bytes - 16, sizeof last);
    any |= last;
    std::uint64_t halves[2];
    std::memcpy(halves, &any, sizeof halves);
    return (halves[0] | halves[1]) != 0;
#else
    std::uint32_t any = 0;
    for (std::size_t i = 0; i < bytes; i += 4) {
        std::uint32_t word;
        std::memcpy(&word, ghosts + i, sizeof word);
        any |= word;
    }
    return any != 0;
#endif
}

}  // namespace lumaveil::mr
