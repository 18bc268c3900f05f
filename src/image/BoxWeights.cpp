#include "image/BoxWeights.h"

#include <algorithm>

namespace pirela {

BoxWeights::BoxWeights(int sourceSize, int targetSize, int bits) {
    // Positions in units of 1 / targetSize of a source pixel: target t spans
    // [t * sourceSize, (t + 1) * sourceSize), source pixel i spans [i * targetSize, ...).
    const std::int64_t s = sourceSize;
    const std::int64_t d = targetSize;
    const std::int64_t one = std::int64_t{1} << bits;
    firsts_.reserve(static_cast<std::size_t>(targetSize));
    offsets_.reserve(static_cast<std::size_t>(targetSize) + 1);
    weights_.reserve(static_cast<std::size_t>(sourceSize + targetSize));
    offsets_.push_back(0);
    for (std::int64_t t = 0; t < d; ++t) {
        const std::int64_t start = t * s;
        const std::int64_t end = start + s;
        firsts_.push_back(static_cast<int>(start / d));
        std::int64_t covered = 0;
        std::int64_t given = 0;
        for (std::int64_t i = start / d; i * d < end; ++i) {
            covered += std::min(end, (i + 1) * d) - std::max(start, i * d);
            const std::int64_t due = (covered * one + s / 2) / s;
            weights_.push_back(static_cast<std::uint32_t>(due - given));
            given = due;
        }
        offsets_.push_back(weights_.size());
    }
}

int BoxWeights::FinestBits(int sourceSize, int targetSize, int maxBits) {
    // A weight is at most one unit above the exact share of a whole source pixel.
    const auto largestWeight = [&](int bits) {
        return (std::int64_t{1} << bits) * targetSize / sourceSize + 1;
    };
    int bits = 14;
    while (bits < maxBits && largestWeight(bits + 1) <= 32767) {
        ++bits;
    }
    return bits;
}

} // namespace pirela
