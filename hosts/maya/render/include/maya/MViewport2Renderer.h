// Viewport 2.0's renderer: the device APIs it draws through.
#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

// One bit per device API; an override says which of them it can draw with.
enum DrawAPI {
    kNone = 0,
    kOpenGL = 1 << 0,
    kDirectX11 = 1 << 1,
    kOpenGLCoreProfile = 1 << 2,
    kAllDevices = kOpenGL | kDirectX11 | kOpenGLCoreProfile
};

// A set of device APIs, as an override returns it.
inline DrawAPI operator|(DrawAPI a, DrawAPI b) {
    return static_cast<DrawAPI>(static_cast<int>(a) | static_cast<int>(b));
}

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
