// Viewport 2.0's renderer: the device APIs it draws through, and the renderer
// itself with the fragment manager that holds shade fragments and graphs.
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

class MFragmentManager;

// The one Viewport 2.0 renderer of the session.
class OPENMAYARENDER_EXPORT MRenderer {
public:
    // Null where there is no Viewport 2.0: in batch mode, or where it could
    // not start.
    static MRenderer* theRenderer(bool initializeRenderer = true);
    // The fragment manager; may be null.
    MFragmentManager* getFragmentManager() const;
    // The device API it draws through: one of kOpenGL (the legacy profile),
    // kOpenGLCoreProfile and kDirectX11.
    DrawAPI drawAPI() const;

    MRenderer(const MRenderer&) = delete;
    MRenderer& operator=(const MRenderer&) = delete;

private:
    MRenderer();
    ~MRenderer();
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
