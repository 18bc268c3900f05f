#include "thumbnail/ThumbnailSize.h"

namespace pirela {

std::string_view FolderNameOf(ThumbnailSize size) {
    switch (size) {
    case ThumbnailSize::Normal:
        return "normal";
    case ThumbnailSize::Large:
        return "large";
    case ThumbnailSize::XLarge:
        return "x-large";
    case ThumbnailSize::XXLarge:
        break;
    }
    return "xx-large";
}

ThumbnailSize SizeForBox(int boxPixels) {
    for (const ThumbnailSize size : kThumbnailSizes) {
        if (boxPixels <= Pixels(size)) {
            return size;
        }
    }
    return ThumbnailSize::XXLarge;
}

} // namespace pirela
