#pragma once

#include <cstdint>
#include <vector>

namespace pirela {

// Shrinks one row of 32-bit pixels across, by area averaging (see BoxWeights): each target
// column gets, for each channel (blue, green, red, alpha, from the lowest byte up), the weighted
// mean of the source pixels it covers, with 7 bits below the point so that the caller can go on
// to average down the picture and round once at the end; 7, not 8, so that a mean fits a signed
// 16-bit half for the next multiply-add.
class RowReducer {
public:
    static constexpr int kFractionBits = 7;
    static constexpr int kChannels = 4;

    // 1 <= targetWidth <= sourceWidth.
    RowReducer(int sourceWidth, int targetWidth);

    int SourceWidth() const { return sourceWidth_; }
    int TargetWidth() const { return static_cast<int>(firsts_.size()); }

    // source: SourceWidth() pixels followed by one more entry that is read but weighs nothing;
    // reduced: TargetWidth() * kChannels values, each at most 255 << kFractionBits.
    void Reduce(const std::uint32_t* source, std::uint32_t* reduced) const;

private:
    int sourceWidth_;
    int shift_; // from the weights' scale down to kFractionBits
    std::vector<int> firsts_;
    // The weights two at a time, as 16-bit halves (the first source pixel's low), a zero weight
    // after an odd count: pairs_[pairStarts_[x] .. pairStarts_[x + 1]) belong to target column x.
    std::vector<std::size_t> pairStarts_;
    std::vector<std::uint32_t> pairs_;
};

} // namespace pirela
