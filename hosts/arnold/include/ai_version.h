// lumaVeil's stand-in of the Arnold SDK: the version its headers declare. A
// shader built against them records AI_VERSION in its node library, and a
// host refuses a library built against a newer Arnold than itself.
#pragma once

// Tells lumaVeil's build that these are the stand-in's headers, not an SDK's.
#define LUMAVEIL_STAND_IN_ARNOLD 1

#define AI_VERSION_ARCH_NUM 7
#define AI_VERSION_MAJOR_NUM 3
#define AI_VERSION_MINOR_NUM 5
#define AI_VERSION_FIX "0"
#define AI_VERSION "7.3.5.0"
