// The API version a plug-in tells Maya it was built with: Maya reads
// MApiVersion to know which devkit built the plug-in. Defined, and exported,
// in the one source of the plug-in that includes MFnPlugin.h; sources of the
// host define MNoVersionString.
#pragma once

#include <maya/MTypes.h>

#if !defined(MNoVersionString)

#define LUMAVEIL_STAND_IN_STRINGIFY_(value) #value
#define LUMAVEIL_STAND_IN_STRINGIFY(value) LUMAVEIL_STAND_IN_STRINGIFY_(value)

extern "C" {
PLUGIN_EXPORT char MApiVersion[] = LUMAVEIL_STAND_IN_STRINGIFY(MAYA_API_VERSION);
#if MAYA_API_VERSION >= 20220000
// Devkits from 2022 on export a signature for Maya LT beside the version; the
// stand-in's name and bytes are its own.
PLUGIN_EXPORT unsigned char MApiLTSignature[] = {0x4c, 0x54, 0x00};
#endif
}

#endif
