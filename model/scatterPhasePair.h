// The renderer shader's two phase weights of one cosine, side by side.
#pragma once

#include "model/optics.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define LUMAVEIL_SCATTER_PHASE_PAIR_SSE2 1
#endif

namespace lumaveil {

struct PhaseWeights {
    float first;
    float second;
};

// ScatterPhase of two asymmetries for the same cosine, as the shader needs
// them per light sample: the weights of its single-scattering and diffusion
// parts. Where the machine has two lanes of double precision, both are formed
// at once; each lane takes the very operations of ScatterPhase, so each weight
// is the one ScatterPhase gives, bit for bit.
class ScatterPhasePair {
public:
    ScatterPhasePair(float firstG, float secondG) : first_(firstG), second_(secondG) {
#if defined(LUMAVEIL_SCATTER_PHASE_PAIR_SSE2)
        baseOffsets_ = _mm_setr_ps(first_.baseOffset_, second_.baseOffset_, 0.0f, 0.0f);
        twiceGs_ = _mm_setr_ps(first_.twiceG_, second_.twiceG_, 0.0f, 0.0f);
        weights_ = _mm_setr_pd(first_.weight_, second_.weight_);
#endif
    }

    PhaseWeights operator()(float mu) const {
#if defined(LUMAVEIL_SCATTER_PHASE_PAIR_SSE2)
        if (mu != 0.0f) {
            __m128 base = _mm_sub_ps(baseOffsets_, _mm_mul_ps(_mm_set1_ps(mu), twiceGs_));
            // A base below 0 is the zero it stands for; NaN stays NaN.
            base = _mm_andnot_ps(_mm_cmplt_ps(base, _mm_setzero_ps()), base);
            const __m128d d = _mm_cvtps_pd(base);
            const __m128d power = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_mul_pd(d, _mm_sqrt_pd(d))));
            const __m128 w =
                _mm_cvtpd_ps(_mm_sub_pd(_mm_set1_pd(1.0), _mm_mul_pd(power, weights_)));
            return {_mm_cvtss_f32(w), _mm_cvtss_f32(_mm_shuffle_ps(w, w, 1))};
        }
#endif
        return {first_(mu), second_(mu)};
    }

private:
    ScatterPhase first_;
    ScatterPhase second_;
#if defined(LUMAVEIL_SCATTER_PHASE_PAIR_SSE2)
    __m128 baseOffsets_;  // lanes 0 and 1: g^2 + 1 of each
    __m128 twiceGs_;      // g + g
    __m128d weights_;     // g^2 0.25 3.14159
#endif
};

}  // namespace lumaveil
