#pragma once

#include "image/Bitmap.h"
#include "sandbox/DecoderMessage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pirela {

// What Pirela knows of the shared memory that came with an answer, from the kernel (never from
// the helper): its size, and whether it is sealed against shrinking, growing and writing.
struct ReplyMemory {
    std::int64_t size = -1; // -1: no memory came
    bool sealed = false;
};

// A decoder helper's answer, checked: every size and count the helper sent is consistent with
// itself, with the size bound of bitmaps and with the memory that came with it.
struct DecoderReply {
    DecoderStatus status = DecoderStatus::Undecodable;
    DecoderPayload payload = DecoderPayload::Pixels;
    BitmapInfoHeader header;          // Pixels: the bitmap's description
    std::vector<RgbQuad> colourTable; // Pixels of 8 bits or less
    bool hasAlpha = false;
    bool cameraPreview = false;
    bool animated = false; // Pixels: the first frame of an animation
    int orientation = 1;   // JpegPreview: the turn the raw file gives it
    std::size_t bytes = 0; // how much of the memory the payload is
    // Pixels: what the file says of its colours, none when it says nothing; its ICC profile is
    // still in the memory, iccBytes at iccOffset.
    std::optional<ColourDescription> colour;
    std::size_t iccOffset = 0;
    std::size_t iccBytes = 0;
    // Frame: how long it stays, how often the animation plays (0: for ever).
    int delayMs = 0;
    int plays = 0;
};

// The answer in the message's bytes, or none when anything in it is malformed, inconsistent or
// larger than the memory that came with it. An undecodable answer needs no memory; a decoded
// one needs sealed memory of at least its payload's size.
std::optional<DecoderReply> ParseDecoderReply(const std::uint8_t* message, std::size_t length,
                                              const ReplyMemory& memory);

} // namespace pirela
