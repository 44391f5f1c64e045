// Random rotations, directions and materials for the property tests of the
// model, the node and the shader. Deterministic for a given seed.
#pragma once

#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "model/FloatVector.h"
#include "model/shading.h"

namespace lumaveil::test {

class RandomScene {
public:
    explicit RandomScene(unsigned int seed) : engine_(seed) {}

    float uniform(float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(engine_);
    }
    bool coin() { return std::bernoulli_distribution(0.5)(engine_); }

    // A uniformly distributed unit vector.
    FloatVector direction() {
        std::normal_distribution<double> n;
        for (;;) {
            const double x = n(engine_), y = n(engine_), z = n(engine_);
            const double len = std::sqrt(x * x + y * y + z * z);
            if (len > 1e-6) {
                return {static_cast<float>(x / len), static_cast<float>(y / len),
                        static_cast<float>(z / len)};
            }
        }
    }

    // A uniformly distributed unit vector with d . towards >= minCosine.
    FloatVector directionNear(FloatVector towards, float minCosine) {
        for (;;) {
            const FloatVector d = direction();
            if (dot(d, towards) >= minCosine) {
                return d;
            }
        }
    }

    FloatVector colour(float lo = 0.0f, float hi = 1.0f) {
        const float r = uniform(lo, hi), g = uniform(lo, hi), b = uniform(lo, hi);
        return {r, g, b};
    }

    // A material with every value inside the node's soft ranges.
    ShadingInputs material() {
        ShadingInputs in;
        in.color = colour();
        in.transparency = colour();
        in.ambientColor = colour();
        in.incandescence = colour();
        in.diffuse = uniform(0.0f, 1.0f);
        in.absorption = colour();
        in.scattering = colour();
        in.refractiveIndex = uniform(1.0f, 6.0f);
        in.anisotropy = uniform(-1.0f, 1.0f);
        in.diffuseReflection = uniform(0.0f, 10.0f);
        in.diffuseAnisotropy = uniform(-1.0f, 1.0f);
        in.diffuseScatter = uniform(0.0f, 10.0f);
        in.eccentricity = uniform(0.02f, 1.0f);
        in.specularRollOff = uniform(0.0f, 1.0f);
        in.specularColor = colour();
        return in;
    }

    // The i-th material of a run that puts every fourth one at the ends of
    // the soft ranges: zero and denormal widths and weights, a channel with
    // no absorption, anisotropies of +-1, the extreme indices.
    ShadingInputs materialOrEdge(int i) {
        ShadingInputs in = material();
        if (i % 4 == 0) {
            const float edges[] = {0.0f, std::numeric_limits<float>::denorm_min(), 1e-30f, 1.0f};
            in.eccentricity = edges[(i / 4) % 4];
            in.diffuse = edges[(i / 8) % 4];
            in.absorption[i % 3] = 0.0f;
            in.scattering[i % 3] = edges[(i / 16) % 4];
            in.anisotropy = (i / 4) % 2 == 0 ? 1.0f : -1.0f;
            in.diffuseAnisotropy = -in.anisotropy;
            in.refractiveIndex = (i / 4) % 3 == 0 ? 1.0f : 6.0f;
        }
        return in;
    }

    // A material whose phase weights stay in [0, 1] (|g| <= 0.5), of index
    // 1.05 or more, with no ambient or incandescent light: everything it
    // shows comes from the lights.
    ShadingInputs materialLitOnlyByLights() {
        ShadingInputs in = material();
        in.anisotropy = uniform(-0.5f, 0.5f);
        in.diffuseAnisotropy = uniform(-0.5f, 0.5f);
        in.refractiveIndex = uniform(1.05f, 6.0f);
        in.ambientColor = in.incandescence = {};
        return in;
    }

    std::mt19937& engine() { return engine_; }

private:
    std::mt19937 engine_;
};

// A rotation of space, as a 3x3 matrix built in double from a random unit
// quaternion; applying it rounds each component once to float.
class Rotation {
public:
    static Rotation random(RandomScene& rng) {
        std::normal_distribution<double> n;
        double q[4];
        double len = 0.0;
        do {
            len = 0.0;
            for (double& c : q) {
                c = n(rng.engine());
                len += c * c;
            }
        } while (len < 1e-6);
        len = std::sqrt(len);
        const double w = q[0] / len, x = q[1] / len, y = q[2] / len, z = q[3] / len;
        Rotation r;
        r.m_ = {{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                 {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                 {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}}};
        return r;
    }

    FloatVector operator()(FloatVector v) const {
        FloatVector out;
        for (int i = 0; i < 3; ++i) {
            const auto& row = m_[static_cast<std::size_t>(i)];
            out[i] = static_cast<float>(row[0] * v.x + row[1] * v.y + row[2] * v.z);
        }
        return out;
    }

private:
    std::array<std::array<double, 3>, 3> m_{};
};

// |a - b| within a relative tolerance, with an absolute floor for values
// near 0.
inline bool closeTo(float a, float b, float relative, float absolute = 1e-6f) {
    return std::fabs(a - b) <= absolute + relative * std::fmax(std::fabs(a), std::fabs(b));
}

}  // namespace lumaveil::test
