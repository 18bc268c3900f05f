#pragma once

#include <cstdint>
#include <vector>

namespace pirela {

// The sum down the picture for one target row: reduced rows (RowReducer's, four channels of
// 7 bits below the point a pixel) each added with its weight, then rounded once to 32-bit pixels.
class RowAccumulator {
public:
    // width pixels; the weights of one target row add up to 1 << weightBits, at most 1 << 16.
    RowAccumulator(int width, int weightBits);

    void Clear();
    // reduced: width * 4 values below 1 << 15; weight below 1 << 15.
    void Add(const std::uint32_t* reduced, std::uint32_t weight);
    // The rounded means as 0xAARRGGBB.
    void WriteTo(std::uint32_t* out) const;

private:
    int shift_;
    std::vector<std::uint32_t> sums_; // blue, green, red, alpha of each pixel
};

} // namespace pirela
