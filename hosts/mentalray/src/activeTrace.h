// The call trace that the renderer functions write to, when the shader call
// on the calling thread records one.
#pragma once

#include "mrhost/renderer.h"

namespace lumaveil::mrhost {

// Every renderer function reads it, once per light sample. On ELF platforms
// the library is loaded with the program, so the initial-exec model makes the
// read a single load where the default would call into the dynamic linker.
#if defined(__ELF__)
[[gnu::tls_model("initial-exec")]]
#endif
inline thread_local constinit CallTrace* activeTrace = nullptr;

}  // namespace lumaveil::mrhost
