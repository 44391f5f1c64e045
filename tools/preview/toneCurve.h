// The curve from linear values to the PNG's 8-bit sRGB codes. The OpenEXR
// file keeps the linear values; only the picture for looking goes through it.
#pragma once

#include <string_view>

#include "image.h"

namespace lumaveil::preview {

enum class ToneMap {
    // John Hable's filmic curve ("Filmic Tonemapping Operators", GDC 2010)
    // per channel: a short toe, linear middle and a long shoulder that keeps
    // highlights up to 5.6 (white at 11.2 after its exposure bias of 2)
    // apart instead of clipping them at 1.
    filmic,
    // Linear values clipped to [0, 1]: the raw values, as before.
    clip,
};

struct ToneCurve {
    ToneMap map = ToneMap::filmic;
    float exposure = 0.0f;  // in stops: linear values are scaled by 2^exposure first

    // The display value in [0, 1] of a linear value. NaN gives 0, +inf 1.
    float display(float linear) const;
    // Its 8-bit sRGB code.
    unsigned char code(float linear) const;
};

std::string_view nameOf(ToneMap map);

// The 8-bit sRGB code of a display value in [0, 1]; outside it is clamped.
unsigned char srgbCode(float display);

DisplayImage toDisplay(const Image& image, const ToneCurve& curve);

}  // namespace lumaveil::preview
