#include "load/ImageLoader.h"

namespace pirela {

ImageLoader::ImageLoader(std::function<void()> onEnded, std::function<void()> onChange)
    : onEnded_(std::move(onEnded)), onChange_(std::move(onChange)) {}

std::shared_ptr<DecodeJob> ImageLoader::Start(const std::string& path, ImageFormat format,
                                              bool preview) {
    return std::make_shared<DecodeJob>(path, format, preview, plan_, onEnded_, onChange_,
                                       settings_);
}

std::shared_ptr<DecodeJob> ImageLoader::Take(const std::string& path, ImageFormat format,
                                             bool preview) {
    std::shared_ptr<DecodeJob> ahead = std::move(ahead_);
    if (ahead && ahead->Path() == path && ahead->Format() == format &&
        ahead->Settings() == settings_ && ahead->MatchesFileOnDisk()) {
        ahead->SetPlan(plan_);
        return ahead;
    }
    // The stale decode stops before the new one starts, so that the two never share the
    // processor or hold two bitmaps at once.
    ahead.reset();
    return Start(path, format, preview);
}

void ImageLoader::DecodeAhead(const std::string& path, ImageFormat format) {
    if (ahead_ && ahead_->Path() == path && ahead_->Format() == format &&
        ahead_->Settings() == settings_) {
        return;
    }
    ahead_.reset();
    ahead_ = Start(path, format, false);
}

void ImageLoader::DropAhead() {
    ahead_.reset();
}

void ImageLoader::Adopt(std::shared_ptr<DecodeJob> decode) {
    ahead_ = std::move(decode);
    if (ahead_) {
        ahead_->SetOnEnded(onEnded_);
        ahead_->SetOnChange(onChange_);
        ahead_->SetPlan(plan_);
    }
}

void ImageLoader::SetSettings(const DecodeSettings& settings) {
    settings_ = settings;
    if (ahead_ && !(ahead_->Settings() == settings)) {
        ahead_.reset();
    }
}

void ImageLoader::SetPlan(const ViewPlan& plan) {
    plan_ = plan;
    if (ahead_) {
        ahead_->SetPlan(plan);
    }
}

} // namespace pirela
