#pragma once

#include <cstdint>
#include <vector>

namespace pirela {

// How the pixels along one axis share out when sourceSize of them are averaged down to
// targetSize: target pixel t covers the source stretch [t * s / d, (t + 1) * s / d), and each
// source pixel counts by how much of it lies inside, fractions at both ends included. The
// weights are fixed-point integers that add up to exactly 1 << bits for every target pixel, so a
// flat colour stays exactly that colour; they are rounded on their running sum, so that every
// partial sum is within half a unit of the exact share and rounding errors do not pile up.
class BoxWeights {
public:
    // 1 <= targetSize <= sourceSize; bits at most 24.
    BoxWeights(int sourceSize, int targetSize, int bits);

    // The finest scale, at most maxBits, at which no weight exceeds 32767, so that the weights
    // fit the signed 16-bit halves of SSE2's multiply-add. Large reductions get more bits: a
    // whole source pixel then weighs little, and its rounding would otherwise weigh much.
    static int FinestBits(int sourceSize, int targetSize, int maxBits);

    int TargetSize() const { return static_cast<int>(firsts_.size()); }
    // The first source pixel of target pixel t and how many follow it, weights included.
    int First(int target) const { return firsts_[static_cast<std::size_t>(target)]; }
    int Count(int target) const {
        return static_cast<int>(offsets_[static_cast<std::size_t>(target) + 1] -
                                offsets_[static_cast<std::size_t>(target)]);
    }
    const std::uint32_t* Of(int target) const {
        return weights_.data() + offsets_[static_cast<std::size_t>(target)];
    }

private:
    std::vector<int> firsts_;
    std::vector<std::size_t> offsets_; // targetSize + 1 entries into weights_
    std::vector<std::uint32_t> weights_;
};

} // namespace pirela
