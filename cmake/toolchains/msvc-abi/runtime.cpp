// What Visual Studio's runtime gives every library built in the MSVC ABI and
// MinGW-w64's libraries do not: the floating-point marker, the stack-cookie
// check, thread-safe initialisation of function-local statics, and the error
// helpers that libstdc++'s headers call. Linked into every library of the
// MSVC-ABI builds; never part of another build.
#include <bits/functexcept.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

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

// libstdc++'s headers report impossible sizes through these; its library,
// which would throw, is built for GCC's ABI only.
namespace std {

void __throw_bad_alloc() {
    fail("std::bad_alloc");
}
void __throw_bad_array_new_length() {
    fail("std::bad_array_new_length");
}
void __throw_length_error(const char* what) {
    fail(what);
}

}  // namespace std
