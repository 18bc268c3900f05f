#include "image/DescriptorReader.h"
#include "image/FrameSource.h"

#include <cstring>
#include <vector>
#include <webp/decode.h>
#include <webp/demux.h>

namespace pirela {

namespace {

struct DeleteAnimation {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// A WebP animation's frames as libwebp composes them on its canvas (it keeps the canvas and the
// one before it); each is copied into ours.
class WebpFrames final : public FrameSource {
public:
    bool Open(int descriptor) {
        DescriptorReader reader(descriptor);
        if (!reader.Valid() || !reader.ReadRest(bytes_, kMaxAnimationFileBytes)) {
            return false;
        }
        // libwebp makes two canvases before it says anything: their size is checked first.
        WebPBitstreamFeatures features;
        if (WebPGetFeatures(bytes_.data(), bytes_.size(), &features) != VP8_STATUS_OK ||
            features.width <= 0 || features.height <= 0 ||
            std::size_t(features.width) * std::size_t(features.height) * 4 >
                kMaxAnimationCanvasBytes) {
            return false;
        }
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options)) {
            return false;
        }
        options.color_mode = MODE_BGRA;
        const WebPData data{bytes_.data(), bytes_.size()};
        decoder_.reset(WebPAnimDecoderNew(&data, &options));
        WebPAnimInfo info;
        if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_.get(), &info) || info.frame_count < 1) {
            return false;
        }
        BitmapInfoHeader header;
        header.width = static_cast<std::int32_t>(info.canvas_width);
        header.height = -static_cast<std::int32_t>(info.canvas_height);
        header.bitCount = 32;
        canvas_ = Bitmap::Create(header);
        if (!canvas_) {
            return false;
        }
        canvas_->SetHasAlpha(true);
        plays_ = static_cast<int>(info.loop_count);
        return true;
    }

    const Bitmap* Next(int& delayMs) override {
        std::uint8_t* frame = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderHasMoreFrames(decoder_.get()) ||
            !WebPAnimDecoderGetNext(decoder_.get(), &frame, &timestamp)) {
            return nullptr;
        }
        // A frame's timestamp is when it ends.
        delayMs = ShownDelayMs(timestamp - lastTimestamp_);
        lastTimestamp_ = timestamp;
        const std::size_t rowBytes = std::size_t(canvas_->Width()) * 4;
        for (int y = 0; y < canvas_->Height(); ++y) {
            std::memcpy(canvas_->PictureRow(y), frame + rowBytes * std::size_t(y), rowBytes);
        }
        return canvas_.get();
    }

    bool Rewind() override {
        WebPAnimDecoderReset(decoder_.get());
        lastTimestamp_ = 0;
        return true;
    }

    int Plays() const override { return plays_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<WebPAnimDecoder, DeleteAnimation> decoder_;
    std::unique_ptr<Bitmap> canvas_;
    int lastTimestamp_ = 0;
    int plays_ = 0;
};

} // namespace

std::unique_ptr<FrameSource> OpenWebpFrames(int descriptor) {
    auto frames = std::make_unique<WebpFrames>();
    return frames->Open(descriptor) ? std::move(frames) : nullptr;
}

} // namespace pirela
