// Marks the library's entry points: undecorated C names with the platform's
// default (cdecl) calling convention, the only symbols the library exports.
#pragma once

#if defined(_WIN32)
#define LUMAVEIL_MR_EXPORT extern "C" __declspec(dllexport)
#else
#define LUMAVEIL_MR_EXPORT extern "C" __attribute__((visibility("default")))
#endif
