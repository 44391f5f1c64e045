// What the stand-in renderer's library exports: its classes for tests and
// tools, and the renderer functions that shaders reach by name.
#pragma once

#if defined(_WIN32)
#if defined(LUMAVEIL_MRHOST_BUILDING)
#define LUMAVEIL_MRHOST_API __declspec(dllexport)
#else
#define LUMAVEIL_MRHOST_API __declspec(dllimport)
#endif
#else
#define LUMAVEIL_MRHOST_API __attribute__((visibility("default")))
#endif
