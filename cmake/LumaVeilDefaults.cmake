# Compile settings for every target of our own.
#
# Results must agree bit for bit on every compiler and target, so no
# contraction into fused multiply-adds and no fast-math; 32-bit x86 must not
# compute in the x87 unit's extended precision.
# Warnings are errors only where the presets ask for it
# (CMAKE_COMPILE_WARNING_AS_ERROR): a plain build by a user or packager must
# not fail on a new compiler's new warning.
set(LUMAVEIL_WARNING_FLAGS -Wall -Wextra)
set(LUMAVEIL_FLOAT_FLAGS -ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    list(APPEND LUMAVEIL_FLOAT_FLAGS -msse2 -mfpmath=sse)
endif()

function(lumaveil_target_defaults target)
    target_compile_options(${target} PRIVATE ${LUMAVEIL_WARNING_FLAGS} ${LUMAVEIL_FLOAT_FLAGS})
    target_compile_features(${target} PUBLIC cxx_std_20)
endfunction()
