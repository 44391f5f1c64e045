// Exports of the stand-in Arnold's library.
#pragma once

#if defined(_WIN32)
#if defined(LUMAVEIL_AIHOST_BUILD)
#define LUMAVEIL_AIHOST_API __declspec(dllexport)
#else
#define LUMAVEIL_AIHOST_API __declspec(dllimport)
#endif
#else
#define LUMAVEIL_AIHOST_API __attribute__((visibility("default")))
#endif
