#include "sandbox/MappedReply.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace {

ReplyMemory MemoryFacts(int memory) {
    struct stat status {};
    if (memory < 0 || ::fstat(memory, &status) != 0) {
        return {};
    }
    constexpr int kSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE;
    const int seals = ::fcntl(memory, F_GET_SEALS);
    return {status.st_size, seals >= 0 && (seals & kSeals) == kSeals};
}

// The answer's colour description with its profile's bytes, read from the memory.
std::shared_ptr<const ColourDescription> ReadColour(const DecoderReply& reply, int memory) {
    auto colour = std::make_shared<ColourDescription>(*reply.colour);
    colour->icc.resize(reply.iccBytes);
    std::size_t done = 0;
    while (done < colour->icc.size()) {
        const ssize_t read = ::pread(memory, colour->icc.data() + done, colour->icc.size() - done,
                                     static_cast<off_t>(reply.iccOffset + done));
        if (read <= 0) {
            return nullptr;
        }
        done += static_cast<std::size_t>(read);
    }
    return colour;
}

} // namespace

std::optional<MappedReply> MapReply(const DecoderProcess::Answer& answer) {
    const std::optional<DecoderReply> reply = ParseDecoderReply(
        answer.message.data(), answer.message.size(), MemoryFacts(answer.memory.Get()));
    if (!reply) {
        return std::nullopt;
    }
    MappedReply mapped{*reply, nullptr, nullptr};
    if (reply->status == DecoderStatus::Decoded) {
        void* memory = ::mmap(nullptr, reply->bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                              answer.memory.Get(), 0);
        if (memory == MAP_FAILED) {
            return std::nullopt;
        }
        mapped.memory = PixelMemory(static_cast<std::uint8_t*>(memory), {reply->bytes});
        if (reply->colour) {
            mapped.colour = ReadColour(*reply, answer.memory.Get());
            if (!mapped.colour) {
                return std::nullopt;
            }
        }
    }
    return mapped;
}

std::unique_ptr<Bitmap> AdoptReplyBitmap(MappedReply mapped, DecoderPayload expected) {
    if (mapped.reply.status != DecoderStatus::Decoded || mapped.reply.payload != expected ||
        expected == DecoderPayload::JpegPreview) {
        return nullptr;
    }
    // Its pages stay the helper's until written, a page copied at a time.
    const bool writable =
        mapped.colour != nullptr &&
        ::mprotect(mapped.memory.get(), mapped.reply.bytes, PROT_READ | PROT_WRITE) == 0;
    auto bitmap = Bitmap::Adopt(mapped.reply.header, std::move(mapped.reply.colourTable),
                                std::move(mapped.memory), writable);
    if (bitmap) {
        bitmap->SetColour(std::move(mapped.colour));
        bitmap->SetHasAlpha(mapped.reply.hasAlpha);
        bitmap->SetAnimated(mapped.reply.animated);
    }
    return bitmap;
}

} // namespace pirela
