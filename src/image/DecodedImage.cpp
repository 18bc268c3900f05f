#include "image/DecodedImage.h"

namespace pirela {

void DecodedImage::Install(std::unique_ptr<Bitmap> bitmap) {
    bitmap_ = std::move(bitmap);
    ++generation_;
}

void DecodedImage::Discard() {
    if (bitmap_) {
        bitmap_.reset();
        ++generation_;
    }
}

void DecodedImage::FillInfo(ImageInfo info) {
    info.width = bitmap_ ? bitmap_->Width() : 0;
    info.height = bitmap_ ? bitmap_->Height() : 0;
    info.bitsPerPixel = bitmap_ ? bitmap_->BitCount() : 0;
    info.resolutionX = 72;
    info.resolutionY = 72;
    info_ = std::move(info);
}

} // namespace pirela
