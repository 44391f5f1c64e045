#include "toneCurve.h"

#include <cmath>

namespace lumaveil::preview {

namespace {

// Hable's curve with his published constants: shoulder strength A, linear
// strength B, linear angle C, toe strength D, toe numerator E and
// denominator F.
float hable(float x) {
    constexpr float A = 0.15f, B = 0.50f, C = 0.10f, D = 0.20f, E = 0.02f, F = 0.30f;
    return ((x * (A * x + C * B) + D * E) / (x * (A * x + B) + D * F)) - E / F;
}

constexpr float filmicExposureBias = 2.0f;
constexpr float filmicWhite = 11.2f;

}  // namespace

float ToneCurve::display(float linear) const {
    const float x = linear * std::exp2(exposure);
    if (!(x > 0.0f)) {
        return 0.0f;  // black, negative or NaN
    }
    if (map == ToneMap::clip) {
        return x < 1.0f ? x : 1.0f;
    }
    const float biased = x * filmicExposureBias;
    if (biased >= filmicWhite) {
        return 1.0f;
    }
    return hable(biased) / hable(filmicWhite);
}

unsigned char ToneCurve::code(float linear) const {
    return srgbCode(display(linear));
}

std::string_view nameOf(ToneMap map) {
    return map == ToneMap::filmic ? "filmic" : "clip";
}

unsigned char srgbCode(float display) {
    if (!(display > 0.0f)) {
        return 0;
    }
    if (display >= 1.0f) {
        return 255;
    }
    const float encoded =
        display <= 0.0031308f ? display * 12.92f : 1.055f * std::pow(display, 1.0f / 2.4f) - 0.055f;
    return static_cast<unsigned char>(std::lround(encoded * 255.0f));
}

DisplayImage toDisplay(const Image& image, const ToneCurve& curve) {
    DisplayImage display(image.width, image.height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            display.codes[i * 3 + k] = curve.code(image.pixels[i][k]);
        }
    }
    return display;
}

}  // namespace lumaveil::preview
