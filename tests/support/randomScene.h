// Random rotations, directions and materials for the property tests of the
// model, the node and the shaders. Deterministic for a given seed.
#pragma once

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "model/FloatVector.h"
#include "model/materialAttributes.h"
#include "model/shading.h"

namespace lumaveil::test {

struct DrawnRange {
    float lo, hi;
};

// Where random materials draw a row's values: the range of its strip in the
// attribute reference where the row gives one (a colour's), else its soft
// range.
inline DrawnRange drawnRange(const MaterialAttribute& a) {
    if (!a.referenceStrip.from.empty()) {
        return {std::stof(std::string(a.referenceStrip.from)),
                std::stof(std::string(a.referenceStrip.to))};
    }
    if (a.softMin && a.softMax) {
        return {static_cast<float>(*a.softMin), static_cast<float>(*a.softMax)};
    }
    throw std::logic_error("no range to draw " + std::string(a.longName) +
                           " from: give its row a soft range or a strip range");
}

class RandomScene {
public:
    explicit RandomScene(unsigned int seed) : engine_(seed) {}

    float uniform(float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(engine_);
    }
    bool coin() { return std::bernoulli_distribution(0.5)(engine_); }
    // One of 0, 1, ..., count - 1.
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(engine_); }

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

    // A material with every attribute drawn inside its row's range: a
    // scalar's soft range, each channel of a colour in its strip's range. A
    // new row is drawn as soon as it is in the table.
    ShadingInputs material() {
        ShadingInputs in;
        for (const MaterialAttribute& a : materialAttributes) {
            const DrawnRange range = drawnRange(a);
            FloatVector v{};
            for (int c = 0; c < a.components; ++c) {
                v[c] = uniform(range.lo, range.hi);
            }
            setIn(in, a, v);
        }
        return in;
    }

    // The i-th material of a run that puts every fourth one at the ends of
    // its rows' ranges (with zero, denormal and tiny values where a range
    // starts at 0: widths, weights, a channel with no absorption) and, two
    // after each, hands some rows what no slider allows: values outside the
    // range where the optics hold (an index below 1, negative coefficients,
    // transparency past [0, 1]), the largest floats, NaN and infinities.
    ShadingInputs materialOrEdge(int i) {
        ShadingInputs in = material();
        if (i % 4 == 0) {
            for (const MaterialAttribute& a : materialAttributes) {
                const DrawnRange range = drawnRange(a);
                const float ends[] = {range.lo, range.hi,
                                      range.lo + std::numeric_limits<float>::denorm_min(),
                                      range.lo + 1e-30f};
                FloatVector v = valueIn(in, a);
                for (int c = 0; c < a.components; ++c) {
                    if (coin()) {
                        v[c] = ends[static_cast<std::size_t>(pick(4))];
                    }
                }
                setIn(in, a, v);
            }
        } else if (i % 4 == 2) {
            for (const MaterialAttribute& a : materialAttributes) {
                if (pick(4) != 0) {
                    continue;
                }
                FloatVector v = valueIn(in, a);
                for (int c = 0; c < a.components; ++c) {
                    if (coin()) {
                        v[c] = valueNoSliderGives(a);
                    }
                }
                setIn(in, a, v);
            }
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
    // A value of one channel that no slider gives: outside the row's
    // physical range (just past its edge, or well past it), the largest
    // float of either sign, NaN or an infinity.
    float valueNoSliderGives(const MaterialAttribute& a) {
        constexpr float largest = std::numeric_limits<float>::max();
        constexpr float inf = std::numeric_limits<float>::infinity();
        const DrawnRange range = drawnRange(a);
        const float span = range.hi - range.lo;
        float choices[9] = {std::numeric_limits<float>::quiet_NaN(), inf, -inf, largest, -largest};
        int count = 5;
        if (a.physicalMin) {
            choices[count++] = std::nextafter(*a.physicalMin, -inf);
            choices[count++] = *a.physicalMin - span * uniform(0.01f, 2.0f);
        }
        if (a.physicalMax) {
            choices[count++] = std::nextafter(*a.physicalMax, inf);
            choices[count++] = *a.physicalMax + span * uniform(0.01f, 2.0f);
        }
        return choices[static_cast<std::size_t>(pick(count))];
    }

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
