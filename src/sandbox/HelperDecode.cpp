#include "sandbox/HelperDecode.h"

#include "sandbox/DecoderReply.h"

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

namespace pirela {

namespace {

// A decoded answer with its payload mapped read-only.
struct MappedReply {
    DecoderReply reply;
    PixelMemory memory;
};

ReplyMemory MemoryFacts(int memory) {
    struct stat status {};
    if (memory < 0 || ::fstat(memory, &status) != 0) {
        return {};
    }
    constexpr int kSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
    const int seals = ::fcntl(memory, F_GET_SEALS);
    return {status.st_size, seals >= 0 && (seals & kSeals) == kSeals};
}

std::int64_t FileSize(int file) {
    struct stat status {};
    return ::fstat(file, &status) == 0 ? status.st_size : 0;
}

std::optional<MappedReply> MapReply(const DecoderProcess::Answer& answer) {
    const std::optional<DecoderReply> reply = ParseDecoderReply(
        answer.message.data(), answer.message.size(), MemoryFacts(answer.memory.Get()));
    if (!reply) {
        return std::nullopt;
    }
    MappedReply mapped{*reply, nullptr};
    if (reply->status == DecoderStatus::Decoded) {
        void* memory = ::mmap(nullptr, reply->bytes, PROT_READ, MAP_SHARED | MAP_POPULATE,
                              answer.memory.Get(), 0);
        if (memory == MAP_FAILED) {
            return std::nullopt;
        }
        mapped.memory = PixelMemory(static_cast<std::uint8_t*>(memory), {reply->bytes});
    }
    return mapped;
}

// A helper that took the request: a waiting one, or, when that one died while it waited (a
// signal, the system short of memory) and cannot take it, a new one.
std::unique_ptr<DecoderProcess> HandOver(int file, const DecoderRequest& request,
                                         DecoderPool& pool) {
    auto helper = pool.Take();
    if (helper && !helper->Send(file, request)) {
        pool.Discard(std::move(helper));
        helper = pool.Take();
        if (helper && !helper->Send(file, request)) {
            pool.Discard(std::move(helper));
        }
    }
    return helper;
}

// Asks a helper of the pool; none when the helper failed in any way (it is then replaced).
std::optional<MappedReply> Ask(int file, const DecoderRequest& request,
                               const std::atomic<bool>* stop, DecoderPool& pool) {
    auto helper = HandOver(file, request, pool);
    if (!helper) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + pool.TimeLimit(FileSize(file));
    DecoderProcess::Answer answer;
    const bool answered = helper->Receive(answer, deadline, [stop] {
        return stop != nullptr && stop->load();
    }) == DecoderProcess::Wait::Answered;
    std::optional<MappedReply> mapped;
    if (answered) {
        mapped = MapReply(answer);
    }
    if (mapped) {
        pool.GiveBack(std::move(helper));
    } else {
        pool.Discard(std::move(helper));
    }
    return mapped;
}

DecoderRequest RequestFor(ImageFormat format, bool applyOrientation) {
    DecoderRequest request;
    request.format = static_cast<std::uint32_t>(format);
    request.applyOrientation = applyOrientation ? 1 : 0;
    return request;
}

std::unique_ptr<Bitmap> BitmapOf(std::optional<MappedReply> mapped) {
    if (!mapped || mapped->reply.status != DecoderStatus::Decoded ||
        mapped->reply.payload != DecoderPayload::Pixels) {
        return nullptr;
    }
    auto bitmap = Bitmap::Adopt(mapped->reply.header, std::move(mapped->reply.colourTable),
                                std::move(mapped->memory));
    if (bitmap) {
        bitmap->SetHasAlpha(mapped->reply.hasAlpha);
    }
    return bitmap;
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
                                       DecoderPool& pool) {
    const std::atomic<bool>* stop =
        options.progress != nullptr ? &options.progress->StopFlag() : nullptr;
    auto bitmap = BitmapOf(Ask(file, RequestFor(format, options.applyOrientation), stop, pool));
    if (bitmap && !options.StopRequested()) {
        options.Started(*bitmap);
        options.RowsFinished(bitmap->Height());
        return options.Outcome(true, std::move(bitmap));
    }
    return options.Outcome(false, nullptr);
}

std::optional<RawPreview> ExtractRawPreviewInHelper(int file, const std::atomic<bool>* stop,
                                                    DecoderPool& pool) {
    const auto mapped = Ask(file, RequestFor(ImageFormat::Raw, true), stop, pool);
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
