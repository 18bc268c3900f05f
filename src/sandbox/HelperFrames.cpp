#include "sandbox/HelperFrames.h"

#include "sandbox/DecoderLimits.h"
#include "sandbox/MappedReply.h"

namespace pirela {

namespace {

class HelperFrames final : public FrameSource {
public:
    HelperFrames(std::unique_ptr<DecoderProcess> helper, std::chrono::milliseconds timeLimit,
                 const std::atomic<bool>& stop)
        : helper_(std::move(helper)), timeLimit_(timeLimit), stop_(stop) {}

    // Asks for the first frame, with the file beside the request.
    bool Start(int file, ImageFormat format) {
        DecoderRequest request;
        request.format = static_cast<std::uint32_t>(format);
        request.kind = static_cast<std::uint32_t>(DecoderRequestKind::Frames);
        pending_ = helper_->Send(file, request) && TakeFrame();
        return pending_;
    }

    const Bitmap* Next(int& delayMs) override {
        if (!pending_ && !Ask(DecoderRequestKind::NextFrame)) {
            return nullptr;
        }
        pending_ = false;
        delayMs = delayMs_;
        return canvas_.get();
    }

    bool Rewind() override {
        pending_ = Ask(DecoderRequestKind::Rewind);
        return pending_;
    }

    int Plays() const override { return plays_; }

private:
    bool Ask(DecoderRequestKind kind) {
        DecoderRequest request;
        request.kind = static_cast<std::uint32_t>(kind);
        return helper_ && helper_->Send(-1, request) && TakeFrame();
    }

    // The helper's answer: a frame (the canvas before it is let go), or none after the last. A
    // helper that answers anything else, late or not at all, is ended.
    bool TakeFrame() {
        DecoderProcess::Answer answer;
        const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
        std::optional<MappedReply> mapped;
        if (helper_->Receive(answer, deadline, [this] { return stop_.load(); }) ==
            DecoderProcess::Wait::Answered) {
            mapped = MapReply(answer);
        }
        if (mapped && mapped->reply.status == DecoderStatus::Undecodable) {
            return false;
        }
        const int delayMs = mapped ? mapped->reply.delayMs : 0;
        const int plays = mapped ? mapped->reply.plays : 0;
        auto canvas =
            mapped ? AdoptReplyBitmap(std::move(*mapped), DecoderPayload::Frame) : nullptr;
        if (!canvas || (canvas_ && (canvas->Width() != canvas_->Width() ||
                                    canvas->Height() != canvas_->Height()))) {
            helper_.reset();
            return false;
        }
        canvas_ = std::move(canvas);
        delayMs_ = delayMs;
        plays_ = plays;
        return true;
    }

    std::unique_ptr<DecoderProcess> helper_;
    const std::chrono::milliseconds timeLimit_;
    const std::atomic<bool>& stop_;
    std::unique_ptr<Bitmap> canvas_;
    int delayMs_ = 0;
    int plays_ = 0;
    bool pending_ = false; // a frame came that Next has not given yet
};

} // namespace

std::unique_ptr<FrameSource> OpenFramesInHelper(int file, ImageFormat format,
                                                const std::atomic<bool>& stop, DecoderPool& pool) {
    auto helper = pool.Take();
    pool.StartAheadInBackground(); // in its place
    if (!helper) {
        return nullptr;
    }
    helper->LimitAddressSpace(kAnimationAddressSpace);
    auto frames = std::make_unique<HelperFrames>(std::move(helper), pool.TimeLimitOf(file), stop);
    return frames->Start(file, format) ? std::move(frames) : nullptr;
}

} // namespace pirela
