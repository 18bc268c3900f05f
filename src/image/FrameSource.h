#pragma once

#include "image/Bitmap.h"

#include <cstddef>
#include <memory>

namespace pirela {

// An animation is played only with a canvas of at most 16 megapixels and, for WebP, which is
// decoded from memory, a file of at most 256 MiB: a larger one shows its first frame only. So the
// decoder helper playing it needs a bounded address space, whatever the file.
inline constexpr std::size_t kMaxAnimationCanvasBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxAnimationFileBytes = std::size_t{256} << 20;

// The delay a frame is shown for: the file's, or 100 ms for one of 10 ms or less, as browsers
// show them (such files were made for players that could not go faster).
int ShownDelayMs(int fileDelayMs);

// The frames of an animation, in order, each composed on the animation's canvas as it is shown:
// the canvas is a 32-bit top-down bitmap with alpha (transparent where no frame has drawn).
class FrameSource {
public:
    virtual ~FrameSource() = default;

    // The next frame and how long it stays (ShownDelayMs); none after the last, or when the
    // file breaks off. The canvas stays the source's and changes with the next call.
    virtual const Bitmap* Next(int& delayMs) = 0;
    // Back to before the first frame, to play again; false when the file cannot be read again.
    virtual bool Rewind() = 0;
    // How many times the whole animation is played, as the file says; 0 for ever.
    virtual int Plays() const = 0;
};

// The frames of a GIF or a WebP file read from an open file descriptor by position (the
// descriptor must stay open while the source lives); none when the file is no such animation
// file or exceeds the animations' bounds.
std::unique_ptr<FrameSource> OpenGifFrames(int descriptor);
std::unique_ptr<FrameSource> OpenWebpFrames(int descriptor);

} // namespace pirela
