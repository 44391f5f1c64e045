// The glibc floor of the shipped libraries, force-included into each of their
// sources on x86-64 glibc (LumaVeilDefaults.cmake).
//
// A library linked against a recent glibc binds each C library function to
// its newest version: exp, log and pow to GLIBC_2.29, the dl* functions to
// GLIBC_2.34. The Linux systems our hosts support (RHEL and Rocky Linux 8,
// glibc 2.28) refuse such a library. Each function below is bound instead to
// the version it first had, which every glibc still provides. These are the
// same functions behind a wrapper that reports errors the old way: exp gives
// the same bits for every argument, and log, log2, exp2 and pow differ at
// most in the sign of a NaN from a domain error. The dl* and pthread
// functions lived in libdl and libpthread before glibc 2.34 (the shader names
// libdl for its dlsym). A name the source never calls adds nothing to the
// library.
#pragma once

#if defined(__x86_64__) && defined(__linux__)
#define LUMAVEIL_BIND_TO_FIRST_VERSION(name) __asm__(".symver " #name "," #name "@GLIBC_2.2.5")
LUMAVEIL_BIND_TO_FIRST_VERSION(exp);
LUMAVEIL_BIND_TO_FIRST_VERSION(exp2);
LUMAVEIL_BIND_TO_FIRST_VERSION(log);
LUMAVEIL_BIND_TO_FIRST_VERSION(log2);
LUMAVEIL_BIND_TO_FIRST_VERSION(pow);
LUMAVEIL_BIND_TO_FIRST_VERSION(dlopen);
LUMAVEIL_BIND_TO_FIRST_VERSION(dlsym);
LUMAVEIL_BIND_TO_FIRST_VERSION(dlvsym);
LUMAVEIL_BIND_TO_FIRST_VERSION(dlclose);
LUMAVEIL_BIND_TO_FIRST_VERSION(dlerror);
LUMAVEIL_BIND_TO_FIRST_VERSION(dladdr);
LUMAVEIL_BIND_TO_FIRST_VERSION(pthread_once);
LUMAVEIL_BIND_TO_FIRST_VERSION(pthread_key_create);
LUMAVEIL_BIND_TO_FIRST_VERSION(pthread_key_delete);
LUMAVEIL_BIND_TO_FIRST_VERSION(pthread_getspecific);
LUMAVEIL_BIND_TO_FIRST_VERSION(pthread_setspecific);
#undef LUMAVEIL_BIND_TO_FIRST_VERSION
#endif
