// The stand-in renderer's light list, and the irradiance it reports.
#pragma once

#include <shader.h>

#include <memory>

#include "mrhost/api.h"

namespace lumaveil::mrhost {

// The renderer's light list, each light known by its tag, and the irradiance
// the renderer reports. Lights deliver their colour unattenuated, from in
// front of the surface or behind it.
class LUMAVEIL_MRHOST_API LightList {
public:
    LightList();
    ~LightList();
    LightList(LightList&&) noexcept;
    LightList& operator=(LightList&&) noexcept;

    // One sample from the unit direction towardsLight.
    miTag addDirectionalLight(miVector towardsLight, miColor color);
    // One sample from the point towards position.
    miTag addPointLight(miVector position, miColor color);
    // `samples` samples spread over the parallelogram corner + u*edgeU +
    // v*edgeV; zero edges put every sample at the corner.
    miTag addAreaLight(miVector corner, miVector edgeU, miVector edgeV, miColor color, int samples);

    // What mi_compute_irradiance writes; black by default.
    void setIrradiance(miColor irradiance);

    const miOptions* options() const;

private:
    std::unique_ptr<miOptions> data_;
};

}  // namespace lumaveil::mrhost
