// What Visual Studio's runtime gives every library built in the MSVC ABI and
// MinGW-w64's libraries do not: the floating-point marker, the stack-cookie
// check, thread-safe initialisation of function-local statics, and the few
// out-of-line parts of the C++ library that the deliverables and the stand-in
// Maya use: error helpers, aligned allocation and the exception classes they
// throw. Linked into every target of the MSVC-ABI builds; never part of
// another build.
#include <bits/functexcept.h>
#include <malloc.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// One lock and one condition for every function-local static, as in Visual
// Studio's runtime: initialisations are rare and short.
SRWLOCK initLock = SRWLOCK_INIT;
CONDITION_VARIABLE initDone = CONDITION_VARIABLE_INIT;

// A static's guard: 0 before its initialisation, -1 during it, and after it
// the epoch in which it completed.
constexpr int kUninitialised = 0;
constexpr int kBeingInitialised = -1;

}  // namespace

extern "C" {

// Every object that uses floating point refers to it.
int _fltused = 0;

// /GS: a function's frame holds this value xor its frame address and checks
// it before returning. Fixed, not drawn at start-up, since nothing here runs
// Visual Studio's start-up that would draw it.
#if defined(_WIN64)
std::uintptr_t __security_cookie = 0x00002B992DDFA232u;
void __security_check_cookie(std::uintptr_t cookie) {
#else
std::uintptr_t __security_cookie = 0xBB40E64Eu;
void __fastcall __security_check_cookie(std::uintptr_t cookie) {
#endif
    if (cookie != __security_cookie) {
        fail("stack buffer overrun detected");
    }
}

// Thread-safe statics. The compiler checks `guard > _Init_thread_epoch`
// inline and calls the header only then; a guard of -1 on return means the
// caller initialises the static and then calls the footer (or, if the
// initialisation throws, the abort).
//
// The epoch of each thread is thread-local. 32-bit code finds the thread's
// TLS array at the offset __tls_array of its thread block, a constant of
// Visual Studio's runtime.
#if !defined(_WIN64)
__asm__(".globl __tls_array\n.set __tls_array, 0x2c");
#endif
int _Init_global_epoch = INT_MIN;
thread_local int _Init_thread_epoch = INT_MIN;

void _Init_thread_header(int* guard) {
    AcquireSRWLockExclusive(&initLock);
    if (*guard == kUninitialised) {
        *guard = kBeingInitialised;
    } else {
        while (*guard == kBeingInitialised) {
            SleepConditionVariableSRW(&initDone, &initLock, INFINITE, 0);
            // The initialising thread gave up: this one takes over.
            if (*guard == kUninitialised) {
                *guard = kBeingInitialised;
                ReleaseSRWLockExclusive(&initLock);
                return;
            }
        }
        _Init_thread_epoch = _Init_global_epoch;
    }
    ReleaseSRWLockExclusive(&initLock);
}

void _Init_thread_footer(int* guard) {
    AcquireSRWLockExclusive(&initLock);
    ++_Init_global_epoch;
    *guard = _Init_global_epoch;
    _Init_thread_epoch = _Init_global_epoch;
    ReleaseSRWLockExclusive(&initLock);
    WakeAllConditionVariable(&initDone);
}

void _Init_thread_abort(int* guard) {
    AcquireSRWLockExclusive(&initLock);
    *guard = kUninitialised;
    ReleaseSRWLockExclusive(&initLock);
    WakeAllConditionVariable(&initDone);
}

// Run-time type information points at the virtual table of type_info, which
// msvcrt.dll holds as data; an import library gives data only through its
// address slot, so a table of our own stands in. Nothing here calls through
// it: these libraries neither use typeid nor destroy a type_info.
extern const void* const lumaveil_type_info_vftable[2] = {nullptr, nullptr};
#if defined(_WIN64)
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=lumaveil_type_info_vftable")
#else
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=_lumaveil_type_info_vftable")
#endif

}  // extern "C"

extern "C" void __std_terminate() {
    std::abort();
}

// libstdc++'s headers report misuse and impossible sizes through these; its
// library, which would throw, is built for GCC's ABI only. Nothing here
// recovers from them, so they end the process with their message.
namespace std {

void __throw_bad_alloc() {
    fail("std::bad_alloc");
}
void __throw_bad_array_new_length() {
    fail("std::bad_array_new_length");
}
void __throw_bad_function_call() {
    fail("std::bad_function_call");
}
void __throw_length_error(const char* what) {
    fail(what);
}
void __throw_logic_error(const char* what) {
    fail(what);
}
void __throw_invalid_argument(const char* what) {
    fail(what);
}
void __throw_out_of_range(const char* what) {
    fail(what);
}
void __throw_out_of_range_fmt(const char* format, ...) {
    fail(format);
}
void __throw_system_error(int error) {
    std::fprintf(stderr, "std::system_error %d\n", error);
    std::abort();
}

// The exception classes keep their message in a __cow_string; this one is a
// plain copy of the text.
__cow_string::__cow_string() : _M_p(nullptr) {}
__cow_string::__cow_string(const char* text, size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        __throw_bad_alloc();
    }
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    _M_p = copy;
}
__cow_string::__cow_string(const __cow_string& other) noexcept
    : __cow_string(other._M_p != nullptr ? other._M_p : "",
                   std::strlen(other._M_p != nullptr ? other._M_p : "")) {}
__cow_string& __cow_string::operator=(const __cow_string& other) noexcept {
    if (this != &other) {
        __cow_string copy(other);
        std::swap(_M_p, copy._M_p);
    }
    return *this;
}
__cow_string::~__cow_string() {
    std::free(const_cast<char*>(_M_p));
}

exception::~exception() noexcept = default;
const char* exception::what() const noexcept {
    return "std::exception";
}

logic_error::logic_error(const char* what) : _M_msg(what, std::strlen(what)) {}
logic_error::logic_error(const logic_error&) noexcept = default;
logic_error& logic_error::operator=(const logic_error&) noexcept = default;
logic_error::~logic_error() noexcept = default;
const char* logic_error::what() const noexcept {
    return _M_msg._M_p;
}

}  // namespace std

// Allocation, as the static part of Visual Studio's runtime gives it: over the
// C heap of msvcrt.dll, which every module of the process shares. The
// stand-in Maya lays node values out on whole cache lines.
void* operator new(std::size_t size) {
    void* p = std::malloc(size != 0 ? size : 1);
    if (p == nullptr) {
        std::__throw_bad_alloc();
    }
    return p;
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    void* p = _aligned_malloc(size != 0 ? size : 1, static_cast<std::size_t>(alignment));
    if (p == nullptr) {
        std::__throw_bad_alloc();
    }
    return p;
}
void operator delete(void* p, std::align_val_t) noexcept {
    _aligned_free(p);
}
