#pragma once

#include <array>
#include <string_view>

namespace pirela {

// The desktop's thumbnail sizes: each folder of the cache holds thumbnails whose longer side
// is at most its size in pixels (less only for a smaller picture).
enum class ThumbnailSize { Normal = 128, Large = 256, XLarge = 512, XXLarge = 1024 };

inline constexpr std::array<ThumbnailSize, 4> kThumbnailSizes{
    ThumbnailSize::Normal, ThumbnailSize::Large, ThumbnailSize::XLarge, ThumbnailSize::XXLarge};

inline constexpr int Pixels(ThumbnailSize size) {
    return static_cast<int>(size);
}

// The folder of the size: "normal", "large", "x-large" or "xx-large".
std::string_view FolderNameOf(ThumbnailSize size);

// The smallest size whose thumbnails fill a box of the given side; the largest for any box
// larger than that.
ThumbnailSize SizeForBox(int boxPixels);

} // namespace pirela
