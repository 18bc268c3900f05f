#include "load/DecodedImage.h"

namespace pirela {

const Bitmap* DecodedImage::Pixels() const {
    return decode_ ? decode_->WaitForShownBitmap() : bitmap_.get();
}

const Bitmap* DecodedImage::PixelsSoFar() const {
    return decode_ ? decode_->Progress().BitmapSoFar() : bitmap_.get();
}

bool DecodedImage::Loading() const {
    return decode_ && !decode_->HasEnded() && decode_->Progress().BitmapSoFar() == nullptr;
}

HelperFailure DecodedImage::Failure() const {
    if (DecodeFailed()) {
        return decode_->Failure();
    }
    return shown_ ? HelperFailure::None : failure_;
}

bool DecodedImage::DecodeFailed() const {
    return decode_ && decode_->HasEnded() && decode_->WaitForBitmap() == nullptr;
}

void DecodedImage::Install(std::unique_ptr<Bitmap> bitmap) {
    animation_.reset();
    bitmap_ = std::move(bitmap);
    decode_.reset();
    ++generation_;
}

void DecodedImage::InstallDecode(std::shared_ptr<DecodeJob> decode) {
    animation_.reset();
    decode_ = std::move(decode);
    bitmap_.reset();
    ++generation_;
}

void DecodedImage::Discard() {
    animation_.reset();
    if (bitmap_ || decode_) {
        bitmap_.reset();
        decode_.reset();
        ++generation_;
    }
}

void DecodedImage::SetPlan(const ViewPlan& plan) {
    if (decode_) {
        decode_->SetPlan(plan);
    }
    const Bitmap* bitmap = PixelsSoFar();
    if (animation_ && bitmap != nullptr) {
        animation_->SetDrawSize(DrawSizeUnder(plan, PixelSize{bitmap->Width(), bitmap->Height()}));
    }
}

void DecodedImage::FillInfo(ImageInfo info) {
    const Bitmap* bitmap = PixelsSoFar();
    info.width = bitmap ? bitmap->Width() : 0;
    info.height = bitmap ? bitmap->Height() : 0;
    info.bitsPerPixel = bitmap ? bitmap->BitCount() : 0;
    info.colour = bitmap ? bitmap->Colour() : nullptr;
    info.resolutionX = 72;
    info.resolutionY = 72;
    info_ = std::move(info);
}

} // namespace pirela
