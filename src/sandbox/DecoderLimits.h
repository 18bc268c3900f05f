#pragma once

#include "image/Bitmap.h"
#include "image/FrameSource.h"

#include <cstdint>

namespace pirela {

// The decoder helper's limits, measured on the camera roll's photos (see the decisions).
// Address space of a decode: the largest bitmap; the library's own picture beside it while it
// is converted (libheif's planes and its RGB picture: one and a half times the bitmap); and what
// does not grow with the picture: the libraries (37 MiB at rest), the codecs' threads (each
// thread's stack reserves 8 MiB, and a codec starts one per processor) and their buffers.
inline constexpr std::uint64_t kLibraryPictureShare = 3; // halves of the bitmap
inline constexpr std::uint64_t kDecoderFixedAddressSpace = std::uint64_t{512} << 20;
inline constexpr std::uint64_t kDecoderAddressSpace =
    std::uint64_t{kMaxPixelBytes} + std::uint64_t{kMaxPixelBytes} * kLibraryPictureShare / 2 +
    kDecoderFixedAddressSpace;

// A helper playing an animation, while other helpers decode: the libraries and codecs as for a
// decode, the file (a WebP is decoded from memory) and four canvases (libwebp keeps two, the
// frame being copied for Pirela, and a GIF's canvas kept for a frame that restores it).
inline constexpr std::uint64_t kAnimationAddressSpace = kDecoderFixedAddressSpace +
                                                        std::uint64_t{kMaxAnimationFileBytes} +
                                                        4 * std::uint64_t{kMaxAnimationCanvasBytes};

// A helper waiting for its next request: its libraries mapped, its codecs' thread stacks kept by
// the C library after a decode, and a margin (it needs far less: see the decisions).
inline constexpr std::uint64_t kIdleDecoderAddressSpace = std::uint64_t{256} << 20;

// Sanitizers reserve terabytes of address space for their shadow memory; their builds' helpers
// run without a limit on it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kHelperAddressSpaceLimited = false;
#else
inline constexpr bool kHelperAddressSpaceLimited = true;
#endif

// The processor time one request may use on top of what the helper used before: far above any
// real decode, it only stops a helper that Pirela's own time limit has not yet killed.
inline constexpr std::uint64_t kDecoderCpuSecondsPerRequest = 180;

} // namespace pirela
