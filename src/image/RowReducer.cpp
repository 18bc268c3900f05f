#include "image/RowReducer.h"

#include "image/BoxWeights.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pirela {

RowReducer::RowReducer(int sourceWidth, int targetWidth) : sourceWidth_(sourceWidth) {
    // A channel's sum, at most 255 << bits, must stay within a signed 32-bit lane.
    const int bits = BoxWeights::FinestBits(sourceWidth, targetWidth, 22);
    shift_ = bits - kFractionBits;
    const BoxWeights weights(sourceWidth, targetWidth, bits);
    firsts_.reserve(static_cast<std::size_t>(targetWidth));
    pairStarts_.reserve(static_cast<std::size_t>(targetWidth) + 1);
    pairs_.reserve(static_cast<std::size_t>(sourceWidth + targetWidth) / 2 + 1);
    pairStarts_.push_back(0);
    for (int x = 0; x < targetWidth; ++x) {
        firsts_.push_back(weights.First(x));
        const std::uint32_t* of = weights.Of(x);
        for (int i = 0; i < weights.Count(x); i += 2) {
            const std::uint32_t second = i + 1 < weights.Count(x) ? of[i + 1] : 0;
            pairs_.push_back(of[i] | second << 16);
        }
        pairStarts_.push_back(pairs_.size());
    }
}

#if defined(__SSE2__)

// Two source pixels a step: their bytes interleaved and widened to 16-bit lanes (blue of the
// first, blue of the second, green of the first, ...), one multiply-add with the weight pair
// then gives the four channels' sums side by side in 32-bit lanes.
void RowReducer::Reduce(const std::uint32_t* source, std::uint32_t* reduced) const {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(1 << (shift_ - 1));
    const __m128i shift = _mm_cvtsi32_si128(shift_);
    for (std::size_t x = 0; x < firsts_.size(); ++x) {
        const std::uint32_t* pixel = source + firsts_[x];
        __m128i sums = zero;
        for (std::size_t k = pairStarts_[x]; k < pairStarts_[x + 1]; ++k, pixel += 2) {
            const __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel));
            const __m128i interleaved = _mm_unpacklo_epi8(two, _mm_srli_si128(two, 4));
            const __m128i lanes = _mm_unpacklo_epi8(interleaved, zero);
            const __m128i weights = _mm_set1_epi32(static_cast<int>(pairs_[k]));
            sums = _mm_add_epi32(sums, _mm_madd_epi16(lanes, weights));
        }
        sums = _mm_srl_epi32(_mm_add_epi32(sums, half), shift);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(reduced + x * kChannels), sums);
    }
}

#else

void RowReducer::Reduce(const std::uint32_t* source, std::uint32_t* reduced) const {
    const std::uint32_t half = std::uint32_t{1} << (shift_ - 1);
    for (std::size_t x = 0; x < firsts_.size(); ++x, reduced += kChannels) {
        const std::uint32_t* pixel = source + firsts_[x];
        std::uint32_t sums[kChannels] = {};
        for (std::size_t k = pairStarts_[x]; k < pairStarts_[x + 1]; ++k, pixel += 2) {
            for (int c = 0; c < kChannels; ++c) {
                sums[c] += (pixel[0] >> (8 * c) & 0xFF) * (pairs_[k] & 0xFFFF) +
                           (pixel[1] >> (8 * c) & 0xFF) * (pairs_[k] >> 16);
            }
        }
        for (int c = 0; c < kChannels; ++c) {
            reduced[c] = (sums[c] + half) >> shift_;
        }
    }
}

#endif

} // namespace pirela
