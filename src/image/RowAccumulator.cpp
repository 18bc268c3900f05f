#include "image/RowAccumulator.h"

#include "image/RowReducer.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pirela {

RowAccumulator::RowAccumulator(int width, int weightBits)
    : shift_(RowReducer::kFractionBits + weightBits),
      sums_(static_cast<std::size_t>(width) * RowReducer::kChannels) {}

void RowAccumulator::Clear() {
    std::fill(sums_.begin(), sums_.end(), 0);
}

#if defined(__SSE2__)

// A reduced value has zero high half in its 32-bit lane, so one multiply-add against the weight
// in every low half is a plain 32-bit product: four channels an instruction, where SSE2 has no
// 32-bit multiply.
void RowAccumulator::Add(const std::uint32_t* reduced, std::uint32_t weight) {
    const __m128i weights = _mm_set1_epi32(static_cast<int>(weight));
    for (std::size_t i = 0; i < sums_.size(); i += 4) {
        const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(reduced + i));
        __m128i* sums = reinterpret_cast<__m128i*>(sums_.data() + i);
        _mm_storeu_si128(sums, _mm_add_epi32(_mm_loadu_si128(sums), _mm_madd_epi16(values, weights)));
    }
}

void RowAccumulator::WriteTo(std::uint32_t* out) const {
    const __m128i half = _mm_set1_epi32(1 << (shift_ - 1));
    const __m128i shift = _mm_cvtsi32_si128(shift_);
    for (std::size_t i = 0; i < sums_.size(); i += 4, ++out) {
        const __m128i sums = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums_.data() + i));
        const __m128i channels = _mm_srl_epi32(_mm_add_epi32(sums, half), shift);
        const __m128i words = _mm_packs_epi32(channels, channels);
        *out = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
    }
}

#else

void RowAccumulator::Add(const std::uint32_t* reduced, std::uint32_t weight) {
    for (std::size_t i = 0; i < sums_.size(); ++i) {
        sums_[i] += reduced[i] * weight;
    }
}

void RowAccumulator::WriteTo(std::uint32_t* out) const {
    const std::uint32_t half = std::uint32_t{1} << (shift_ - 1);
    for (std::size_t i = 0; i < sums_.size(); i += 4, ++out) {
        *out = (sums_[i + 3] + half) >> shift_ << 24 | (sums_[i + 2] + half) >> shift_ << 16 |
               (sums_[i + 1] + half) >> shift_ << 8 | (sums_[i] + half) >> shift_;
    }
}

#endif

} // namespace pirela
