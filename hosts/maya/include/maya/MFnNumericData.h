// Numeric data types.
#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnNumericData {
public:
    enum Type {
        kInvalid = 0,
        kBoolean = 1,
        kByte = 2,
        kChar = 3,
        kShort = 4,
        k2Short = 5,
        k3Short = 6,
        kLong = 7,
        kInt = kLong,
        k2Long = 8,
        k2Int = k2Long,
        k3Long = 9,
        k3Int = k3Long,
        kFloat = 10,
        k2Float = 11,
        k3Float = 12,
        kDouble = 13,
        k2Double = 14,
        k3Double = 15,
        k4Double = 16,
        kAddr = 17,
        kLast = 18,
    };
};
OPENMAYA_NAMESPACE_CLOSE
