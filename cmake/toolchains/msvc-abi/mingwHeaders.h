// Forced into every compilation of the MSVC-ABI toolchain. MinGW-w64's
// headers mark their imports with __declspec only where it is a macro, as it
// is for GCC; for clang-cl it is a keyword, and without this they leave the
// marker undefined.
#pragma once

#define __declspec(x) __declspec(x)
