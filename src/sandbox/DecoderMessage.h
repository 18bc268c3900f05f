#pragma once

#include "image/Bitmap.h"
#include "image/ColourDescription.h"

#include <cstddef>
#include <cstdint>

namespace pirela {

// The messages between Pirela and its decoder helper, over a Unix socket pair of sequenced
// packets (one message per packet). Both ends are built together, so the layout is the
// machine's own; it only has to be checked, never converted.

inline constexpr std::uint32_t kDecoderRequestMagic = 0x50445251; // "PDRQ"
inline constexpr std::uint32_t kDecoderReplyMagic = 0x50445250;   // "PDRP"

// What a request asks for. An animation's helper serves that animation only: after the first
// frame it takes nothing but NextFrame and Rewind, without a file, each answered with a frame or
// with "undecodable" when there is none.
enum class DecoderRequestKind : std::uint32_t {
    Decode = 0,    // the file's picture
    Frames = 1,    // the first frame of the file's animation, composed on its canvas
    NextFrame = 2, // the animation's next frame
    Rewind = 3,    // its first frame again, to play it once more
};

// Which reader to run on the file that travels beside the request (SCM_RIGHTS), never a path.
struct DecoderRequest {
    std::uint32_t magic = kDecoderRequestMagic;
    std::uint32_t format = 0;           // an ImageFormat value
    std::uint32_t applyOrientation = 1; // whether the picture is turned upright as it says
    std::uint32_t kind = 0;             // a DecoderRequestKind
};

enum class DecoderStatus : std::uint32_t { Decoded = 0, Undecodable = 1 };
// What the shared memory of a decoded answer holds: the bitmap's pixels, the JPEG preview a
// camera stored in its raw file (decoded by Pirela's own JPEG reader), or an animation's frame
// (its canvas: 32 bits with alpha, top-down, of at most kMaxAnimationCanvasBytes).
enum class DecoderPayload : std::uint32_t { Pixels = 0, JpegPreview = 1, Frame = 2 };

inline constexpr std::uint32_t kReplyHasAlpha = 1;           // 32-bit pixels carry alpha
inline constexpr std::uint32_t kReplyOrientationApplied = 2; // the picture was turned upright
inline constexpr std::uint32_t kReplyCameraPreview = 4;      // the camera's preview, not the file
inline constexpr std::uint32_t kReplyAnimated = 8;           // the first frame of an animation
inline constexpr std::uint32_t kReplyKnownFlags =
    kReplyHasAlpha | kReplyOrientationApplied | kReplyCameraPreview | kReplyAnimated;

// What a file says of its colours (a ColourDescription), in a decoded answer of pixels.
inline constexpr std::uint32_t kColourDescribed = 1; // without it, every colour field is 0
inline constexpr std::uint32_t kColourSrgb = 2;
inline constexpr std::uint32_t kColourPrimaries = 4;
inline constexpr std::uint32_t kColourKnownFlags =
    kColourDescribed | kColourSrgb | kColourPrimaries;

// The answer's fixed header, followed by `colours` colour table entries (8 bits or less). A
// decoded answer carries one sealed memory file descriptor (memfd) whose first `bytes` bytes
// are the payload: `stride` x |height| bytes of pixel rows, or the JPEG preview. The ICC profile
// of a described picture follows the pixels in the same memory, `iccBytes` at `iccOffset`.
struct DecoderReplyHeader {
    std::uint32_t magic = kDecoderReplyMagic;
    std::uint32_t status = 0;
    std::uint32_t payload = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // as in a bitmap header: negative for rows stored top-down
    std::uint32_t bitCount = 0;
    std::uint32_t flags = 0;
    std::uint32_t orientation = 1; // a JPEG preview's turn to apply (1..8)
    std::uint32_t colours = 0;
    std::uint32_t reserved = 0;
    std::uint64_t stride = 0;
    std::uint64_t bytes = 0;
    std::uint32_t colourFlags = 0;
    std::uint32_t transfer = 0; // a TransferCurve
    double gamma = 0;
    double primaries[8] = {}; // white, red, green and blue, x then y: a Chromaticities
    std::uint64_t iccOffset = 0;
    std::uint64_t iccBytes = 0;
    // A frame's: how long it stays (ShownDelayMs), how often the animation plays (0: for ever).
    std::uint32_t delayMs = 0;
    std::uint32_t plays = 0;
};

inline constexpr std::size_t kMaxReplyColours = 256;
inline constexpr std::size_t kMaxReplyBytes =
    sizeof(DecoderReplyHeader) + kMaxReplyColours * sizeof(RgbQuad);
// No camera's preview comes near this; a longer one is refused.
inline constexpr std::uint64_t kMaxPreviewJpegBytes = std::uint64_t{256} << 20;
// Nor any colour profile LittleCMS is given (the helper sends none larger).
inline constexpr std::uint64_t kMaxReplyIccBytes = std::uint64_t{16} << 20;
// A frame's delay, as its file can say it (WebP's 24 bits of milliseconds), and the plays a
// GIF's 16-bit loop count gives.
inline constexpr std::uint32_t kMaxFrameDelayMs = (1u << 24) - 1;
inline constexpr std::uint32_t kMaxPlays = 65536;

} // namespace pirela
