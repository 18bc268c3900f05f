#include "sandbox/DecoderReply.h"

#include "image/FrameSource.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

namespace pirela {

namespace {

bool IsPixelBitCount(std::uint32_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

Chromaticities PrimariesOf(const DecoderReplyHeader& header) {
    const double* p = header.primaries;
    return {p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]};
}

bool NoPrimaries(const DecoderReplyHeader& header) {
    return std::all_of(std::begin(header.primaries), std::end(header.primaries),
                       [](double value) { return value == 0; });
}

bool NoColour(const DecoderReplyHeader& header) {
    return header.colourFlags == 0 && header.transfer == 0 && header.gamma == 0 &&
           NoPrimaries(header) && header.iccOffset == 0 && header.iccBytes == 0;
}

// What the picture's colours are said to be: real primaries and a real curve, a profile within
// the bound and the memory, after the pixels.
bool CheckColour(const DecoderReplyHeader& header, const ReplyMemory& memory) {
    if ((header.colourFlags & kColourDescribed) == 0) {
        return NoColour(header);
    }
    if ((header.colourFlags & ~kColourKnownFlags) != 0 ||
        header.transfer > static_cast<std::uint32_t>(TransferCurve::Linear) ||
        !PlausibleGamma(header.gamma)) {
        return false;
    }
    if ((header.colourFlags & kColourPrimaries) != 0 ? !PlausibleChromaticities(PrimariesOf(header))
                                                     : !NoPrimaries(header)) {
        return false;
    }
    if (header.iccBytes == 0) {
        // A description of nothing would be no description.
        return header.iccOffset == 0 && (header.colourFlags & ~kColourDescribed) != 0;
    }
    const auto size = static_cast<std::uint64_t>(memory.size);
    return header.iccBytes <= kMaxReplyIccBytes && header.iccOffset >= header.bytes &&
           header.iccOffset <= size && header.iccBytes <= size - header.iccOffset;
}

std::optional<ColourDescription> ColourOf(const DecoderReplyHeader& header) {
    if ((header.colourFlags & kColourDescribed) == 0) {
        return std::nullopt;
    }
    ColourDescription colour;
    colour.srgb = (header.colourFlags & kColourSrgb) != 0;
    if ((header.colourFlags & kColourPrimaries) != 0) {
        colour.primaries = PrimariesOf(header);
    }
    colour.transfer = static_cast<TransferCurve>(header.transfer);
    colour.gamma = header.gamma;
    return colour;
}

// The pixel rows' description against the bound and the memory.
bool CheckPixels(const DecoderReplyHeader& header, const ReplyMemory& memory) {
    if (header.width <= 0 || header.height == 0 || header.height == INT_MIN ||
        !IsPixelBitCount(header.bitCount) || header.orientation != 1 || header.delayMs != 0 ||
        header.plays != 0) {
        return false;
    }
    const std::uint64_t colourLimit =
        header.bitCount <= 8 ? std::uint64_t{1} << header.bitCount : 0;
    if (header.colours > colourLimit) {
        return false;
    }
    if ((header.flags & kReplyHasAlpha) != 0 && header.bitCount != 32) {
        return false;
    }
    const std::int64_t stride = BitmapStride(static_cast<int>(header.bitCount), header.width);
    const std::uint64_t rows = header.height < 0 ? -std::int64_t{header.height} : header.height;
    if (header.stride != static_cast<std::uint64_t>(stride) ||
        header.stride > kMaxPixelBytes / rows || header.bytes != header.stride * rows) {
        return false;
    }
    return static_cast<std::uint64_t>(memory.size) >= header.bytes && CheckColour(header, memory);
}

bool CheckPreview(const DecoderReplyHeader& header, const ReplyMemory& memory) {
    return (header.flags & kReplyAnimated) == 0 && header.delayMs == 0 && header.plays == 0 &&
           header.bytes >= 4 && header.bytes <= kMaxPreviewJpegBytes && header.orientation >= 1 &&
           header.orientation <= 8 && header.colours == 0 && NoColour(header) &&
           static_cast<std::uint64_t>(memory.size) >= header.bytes;
}

// A frame: a canvas with alpha, top-down, within the animations' bound; a delay and plays as a
// file can give them; nothing said of its colours (the animation's first frame said that).
bool CheckFrame(const DecoderReplyHeader& header, const ReplyMemory& memory) {
    DecoderReplyHeader pixels = header;
    pixels.delayMs = 0;
    pixels.plays = 0;
    return header.bitCount == 32 && header.height < 0 && header.flags == kReplyHasAlpha &&
           header.colours == 0 && header.colourFlags == 0 &&
           header.bytes <= kMaxAnimationCanvasBytes && header.delayMs > 10 &&
           header.delayMs <= kMaxFrameDelayMs && header.plays <= kMaxPlays &&
           CheckPixels(pixels, memory);
}

bool CheckDecoded(const DecoderReplyHeader& header, const ReplyMemory& memory) {
    if (memory.size < 0 || !memory.sealed) {
        return false;
    }
    switch (static_cast<DecoderPayload>(header.payload)) {
    case DecoderPayload::Pixels:
        return CheckPixels(header, memory);
    case DecoderPayload::JpegPreview:
        return CheckPreview(header, memory);
    case DecoderPayload::Frame:
        return CheckFrame(header, memory);
    }
    return false;
}

DecoderReply ReplyOf(const DecoderReplyHeader& header, const std::uint8_t* colours) {
    DecoderReply reply;
    reply.status = DecoderStatus::Decoded;
    reply.payload = static_cast<DecoderPayload>(header.payload);
    reply.header.width = header.width;
    reply.header.height = header.height;
    reply.header.bitCount = static_cast<std::uint16_t>(header.bitCount);
    reply.header.clrUsed = header.colours;
    reply.colourTable.resize(header.colours);
    if (header.colours > 0) {
        std::memcpy(reply.colourTable.data(), colours, header.colours * sizeof(RgbQuad));
    }
    reply.hasAlpha = (header.flags & kReplyHasAlpha) != 0;
    reply.cameraPreview = (header.flags & kReplyCameraPreview) != 0;
    reply.animated = (header.flags & kReplyAnimated) != 0;
    reply.orientation = static_cast<int>(header.orientation);
    reply.bytes = static_cast<std::size_t>(header.bytes);
    reply.colour = ColourOf(header);
    reply.iccOffset = static_cast<std::size_t>(header.iccOffset);
    reply.iccBytes = static_cast<std::size_t>(header.iccBytes);
    reply.delayMs = static_cast<int>(header.delayMs);
    reply.plays = static_cast<int>(header.plays);
    return reply;
}

} // namespace

std::optional<DecoderReply> ParseDecoderReply(const std::uint8_t* message, std::size_t length,
                                              const ReplyMemory& memory) {
    DecoderReplyHeader header;
    if (length < sizeof header) {
        return std::nullopt;
    }
    std::memcpy(&header, message, sizeof header);
    if (header.magic != kDecoderReplyMagic || (header.flags & ~kReplyKnownFlags) != 0 ||
        header.colours > kMaxReplyColours ||
        length != sizeof header + header.colours * sizeof(RgbQuad)) {
        return std::nullopt;
    }
    if (header.status == static_cast<std::uint32_t>(DecoderStatus::Undecodable)) {
        return DecoderReply{};
    }
    if (header.status != static_cast<std::uint32_t>(DecoderStatus::Decoded) ||
        !CheckDecoded(header, memory)) {
        return std::nullopt;
    }
    return ReplyOf(header, message + sizeof header);
}

} // namespace pirela
