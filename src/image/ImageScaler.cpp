#include "image/ImageScaler.h"

#include "image/BoxWeights.h"
#include "image/PixelRowConverter.h"
#include "image/RowAccumulator.h"
#include "image/RowReducer.h"

#include <new>

namespace pirela {

namespace {

// A target pixel's channel sum is at most 255 << (7 + bits) and must stay within 32 bits.
constexpr int kMaxVerticalBits = 16;

bool Cancelled(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

bool CopyRows(const PixelRowConverter& converter, ScaledPicture& picture,
              const std::atomic<bool>* cancel) {
    for (int y = 0; y < picture.height; ++y) {
        if (Cancelled(cancel)) {
            return false;
        }
        converter.Convert(y, picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
    }
    return true;
}

bool AverageRows(const PixelRowConverter& converter, ScaledPicture& picture,
                 const std::atomic<bool>* cancel) {
    const RowReducer across(converter.Width(), picture.width);
    const int bits = BoxWeights::FinestBits(converter.Height(), picture.height, kMaxVerticalBits);
    const BoxWeights down(converter.Height(), picture.height, bits);
    RowAccumulator sums(picture.width, bits);
    std::vector<std::uint32_t> sourceRow(static_cast<std::size_t>(converter.Width()) + 1);
    std::vector<std::uint32_t> reduced(static_cast<std::size_t>(picture.width) * RowReducer::kChannels);
    int reducedY = -1;
    for (int y = 0; y < picture.height; ++y) {
        sums.Clear();
        for (int i = 0; i < down.Count(y); ++i) {
            // A source row on the border of two target rows is reduced once and serves both.
            if (down.First(y) + i != reducedY) {
                if (Cancelled(cancel)) {
                    return false;
                }
                reducedY = down.First(y) + i;
                converter.Convert(reducedY, sourceRow.data());
                across.Reduce(sourceRow.data(), reduced.data());
            }
            sums.Add(reduced.data(), down.Of(y)[i]);
        }
        sums.WriteTo(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
    }
    return true;
}

} // namespace

std::optional<ScaledPicture> ScaleDown(const Bitmap& bitmap, int width, int height,
                                       const std::atomic<bool>* cancel) {
    if (width < 1 || height < 1 || width > bitmap.Width() || height > bitmap.Height()) {
        return std::nullopt;
    }
    try {
        const PixelRowConverter converter(bitmap);
        ScaledPicture picture{width, height, bitmap.HasAlpha(),
                              std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
        const bool sameSize = width == bitmap.Width() && height == bitmap.Height();
        const bool done = sameSize ? CopyRows(converter, picture, cancel)
                                   : AverageRows(converter, picture, cancel);
        if (!done) {
            return std::nullopt;
        }
        return picture;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

} // namespace pirela
