// Arbitrary bytes as a decoder helper's answer: the first four give the size of the memory that
// came with it (held below 16 MiB) and the fifth whether it is sealed, the rest are the message.
// An answer that is accepted must fit its memory: the bitmap made over memory of exactly that
// size reads every row without leaving it, and a profile lies after the pixels within it. The
// primaries and curve it describes make a transform, or none, without fault.
#include "colour/ColourProfile.h"
#include "colour/ColourTransform.h"
#include "sandbox/DecoderReply.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kFacts = 5;
    if (size < kFacts) {
        return 0;
    }
    std::uint32_t memorySize = 0;
    std::memcpy(&memorySize, data, sizeof memorySize);
    const pirela::ReplyMemory memory{memorySize & 0xFFFFFF, data[4] != 0};
    auto reply = pirela::ParseDecoderReply(data + kFacts, size - kFacts, memory);
    if (!reply || reply->status != pirela::DecoderStatus::Decoded) {
        return 0;
    }
    if (reply->bytes > static_cast<std::size_t>(memory.size)) {
        std::abort();
    }
    if (reply->iccBytes > 0 &&
        (reply->iccOffset < reply->bytes ||
         reply->iccOffset + reply->iccBytes > static_cast<std::size_t>(memory.size))) {
        std::abort();
    }
    if (reply->colour) {
        pirela::ColourTransform::ToDisplay(*reply->colour, pirela::ColourProfile::Srgb());
    }
    if (reply->payload == pirela::DecoderPayload::JpegPreview) {
        return 0;
    }
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(reply->bytes, 1));
    auto bitmap =
        pirela::Bitmap::Adopt(reply->header, reply->colourTable, pirela::PixelMemory(pixels));
    if (!bitmap || bitmap->PixelBytes() != reply->bytes) {
        std::abort();
    }
    unsigned sum = 0;
    for (int y = 0; y < bitmap->Height(); ++y) {
        sum += bitmap->PictureRow(y)[bitmap->Stride() - 1];
    }
    return static_cast<int>(sum & 0);
}
