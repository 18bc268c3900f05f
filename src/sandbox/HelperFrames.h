#pragma once

#include "image/FrameSource.h"
#include "image/ImageFormat.h"
#include "sandbox/DecoderPool.h"

#include <atomic>
#include <memory>

namespace pirela {

// The frames of an animated GIF or WebP file, decoded by a helper of its own: taken from the
// pool, held to an animation's address space, never given back (it serves this animation alone)
// and killed when the frames are no longer wanted. Each frame comes in sealed memory, checked as
// every answer is, and is mapped read-only. A stop request ends a wait for a frame at once. None
// when no helper can be had or the file is no animation the helper can play.
std::unique_ptr<FrameSource> OpenFramesInHelper(int file, ImageFormat format,
                                                const std::atomic<bool>& stop,
                                                DecoderPool& pool = DecoderPool::Shared());

} // namespace pirela
