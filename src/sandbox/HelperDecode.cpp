#include "sandbox/HelperDecode.h"

#include "sandbox/DecoderLimits.h"
#include "sandbox/MappedReply.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace {

// A helper that took the request, allowed a decode's whole address space: a waiting one, or,
// when that one died while it waited (a signal, the system short of memory) and cannot take it,
// a new one. None when no helper can be started; `error` then says why (errno).
std::unique_ptr<DecoderProcess> HandOver(int file, const DecoderRequest& request,
                                         DecoderPool& pool, int& error) {
    for (int tries = 0; tries < 2; ++tries) {
        auto helper = pool.Take(&error);
        if (!helper) {
            return nullptr;
        }
        helper->LimitAddressSpace(kDecoderAddressSpace);
        if (helper->Send(file, request)) {
            return helper;
        }
    }
    return nullptr;
}

HelperFailure FailureToStart(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case ENOEXEC:
    case ELOOP:
    case ENAMETOOLONG:
        return HelperFailure::Missing;
    default:
        return HelperFailure::Stopped; // the system short of processes or memory
    }
}

// What one helper made of the request.
struct Asked {
    std::optional<MappedReply> mapped;
    HelperFailure failure = HelperFailure::None;
    bool tryAgain = false; // the helper died of something that may not be the file's doing
};

// How long a helper whose socket closed is given to finish dying by itself, so that its end
// tells whether it crashed or was killed from elsewhere.
constexpr auto kDyingGrace = std::chrono::milliseconds(500);

Asked AskOnce(int file, const DecoderRequest& request, const std::atomic<bool>* stop,
              DecoderPool& pool) {
    Asked asked;
    int error = 0;
    auto helper = HandOver(file, request, pool, error);
    if (!helper) {
        asked.failure = FailureToStart(error);
        return asked;
    }
    const auto deadline = std::chrono::steady_clock::now() + pool.TimeLimitOf(file);
    DecoderProcess::Answer answer;
    switch (helper->Receive(answer, deadline, [stop] { return stop != nullptr && stop->load(); })) {
    case DecoderProcess::Wait::Answered:
        asked.mapped = MapReply(answer);
        if (asked.mapped) {
            pool.GiveBack(std::move(helper));
        }
        asked.failure = asked.mapped && asked.mapped->reply.status == DecoderStatus::Decoded
                            ? HelperFailure::None
                            : HelperFailure::Undecodable;
        return asked;
    case DecoderProcess::Wait::Stopped:
        return asked;
    case DecoderProcess::Wait::TimedOut:
        asked.failure = HelperFailure::TooSlow;
        return asked;
    case DecoderProcess::Wait::Broken:
        break;
    }
    // The helper closed its end: it died, or it broke off and is killed now.
    const DecoderProcess::Ending ending = helper->End(kDyingGrace);
    asked.failure = ending.byItself && ending.signal == SIGXCPU ? HelperFailure::TooSlow
                                                                 : HelperFailure::Stopped;
    asked.tryAgain = ending.byItself && ending.signal != SIGXCPU;
    return asked;
}

// Asks a helper of the pool, when no other request of the pool is decoding. A helper that died
// by itself is replaced and asked once more: a kill from elsewhere (the system's out-of-memory
// killer, a user) is no fault of the file's. A helper that failed in any way is replaced.
std::optional<MappedReply> Ask(int file, const DecoderRequest& request,
                               const std::atomic<bool>* stop, DecoderPool& pool,
                               HelperFailure* failure) {
    Asked asked;
    if (pool.TakeTurn(stop)) {
        asked = AskOnce(file, request, stop, pool);
        if (asked.tryAgain && (stop == nullptr || !stop->load())) {
            asked = AskOnce(file, request, stop, pool);
        }
        pool.EndTurn();
    }
    pool.StartAhead(); // in place of those that failed
    if (failure != nullptr) {
        *failure = asked.failure;
    }
    return std::move(asked.mapped);
}

DecoderRequest RequestFor(ImageFormat format, bool applyOrientation) {
    DecoderRequest request;
    request.format = static_cast<std::uint32_t>(format);
    request.applyOrientation = applyOrientation ? 1 : 0;
    return request;
}

std::unique_ptr<Bitmap> BitmapOf(std::optional<MappedReply> mapped) {
    return mapped ? AdoptReplyBitmap(std::move(*mapped), DecoderPayload::Pixels) : nullptr;
}

} // namespace

bool DecodesInHelper(ImageFormat format) {
    switch (format) {
    case ImageFormat::Gif:
    case ImageFormat::Tiff:
    case ImageFormat::WebP:
    case ImageFormat::Heif:
    case ImageFormat::Avif:
    case ImageFormat::Raw:
        return true;
    default:
        return false;
    }
}

std::unique_ptr<Bitmap> DecodeInHelper(int file, ImageFormat format, const ReadOptions& options,
                                       DecoderPool& pool, HelperFailure* failure) {
    const std::atomic<bool>* stop =
        options.progress != nullptr ? &options.progress->StopFlag() : nullptr;
    auto bitmap =
        BitmapOf(Ask(file, RequestFor(format, options.applyOrientation), stop, pool, failure));
    if (bitmap && !options.StopRequested()) {
        options.Started(*bitmap);
        options.RowsFinished(bitmap->Height());
        return options.Outcome(true, std::move(bitmap));
    }
    return options.Outcome(false, nullptr);
}

std::optional<RawPreview> ExtractRawPreviewInHelper(int file, const std::atomic<bool>* stop,
                                                    DecoderPool& pool, HelperFailure* failure) {
    const auto mapped = Ask(file, RequestFor(ImageFormat::Raw, true), stop, pool, failure);
    if (!mapped || mapped->reply.status != DecoderStatus::Decoded ||
        mapped->reply.payload != DecoderPayload::JpegPreview) {
        return std::nullopt;
    }
    // The one copy of this path: a preview is a few megabytes, copied in a millisecond.
    RawPreview preview;
    preview.jpeg.assign(mapped->memory.get(), mapped->memory.get() + mapped->reply.bytes);
    preview.orientation = mapped->reply.orientation;
    return preview;
}

} // namespace pirela
