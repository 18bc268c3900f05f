#pragma once

#include "image/Bitmap.h"
#include "image/DecodeProgress.h"
#include "image/ReadOptions.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// What every image fuzz target checks of a reader's result: none, or a bitmap within the
// bound whose every pixel byte can be read (so that the sanitizers see any byte left unmade).
inline void CheckBitmap(const pirela::Bitmap* bitmap) {
    if (bitmap == nullptr) {
        return;
    }
    if (bitmap->PixelBytes() > pirela::kMaxPixelBytes || bitmap->Width() <= 0 ||
        bitmap->Height() <= 0) {
        std::abort();
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < bitmap->PixelBytes(); i += 64) {
        sum += bitmap->Pixels()[i];
    }
    volatile unsigned sink = sum;
    (void)sink;
}

// A progress as a decode job keeps it: the bitmap a reader gives is the one it reported, and
// it never reports more final rows than the bitmap has.
class CheckedProgress {
public:
    pirela::DecodeProgress* Get() { return &progress_; }
    void Check(const pirela::Bitmap* result) {
        progress_.Ended();
        const pirela::Bitmap* reported = progress_.WaitForBitmap();
        if ((result != nullptr && reported != result) ||
            (reported != nullptr && progress_.WaitForRows(0) > reported->Height())) {
            std::abort();
        }
        CheckBitmap(result);
    }

private:
    pirela::DecodeProgress progress_;
};

// Hands the fuzzer's bytes to a reader as a C stream.
template <class Read>
void WithStream(const std::uint8_t* data, std::size_t size, Read read) {
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return;
    }
    read(file);
    std::fclose(file);
}

// Hands the fuzzer's bytes to a reader as an open file descriptor (of a file in memory), as
// the readers of the camera roll's formats take them.
template <class Read>
void WithDescriptor(const std::uint8_t* data, std::size_t size, Read read) {
    const int descriptor = ::memfd_create("fuzz", MFD_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(descriptor, data + written, size - written);
        if (n <= 0) {
            ::close(descriptor);
            return;
        }
        written += static_cast<std::size_t>(n);
    }
    read(descriptor);
    ::close(descriptor);
}

// An animation's frames as the player takes them: every frame of two plays (at most a few
// hundred), each canvas read whole.
template <class Open> void FuzzFrames(const std::uint8_t* data, std::size_t size, Open open) {
    WithDescriptor(data, size, [&](int descriptor) {
        const auto frames = open(descriptor);
        constexpr int kMostFrames = 300;
        for (int play = 0; frames && play < 2; ++play) {
            int delayMs = 0;
            for (int frame = 0; frame < kMostFrames; ++frame) {
                const pirela::Bitmap* canvas = frames->Next(delayMs);
                if (canvas == nullptr) {
                    break;
                }
                CheckBitmap(canvas);
                if (delayMs < 20) {
                    std::abort(); // 10 ms or less counts as 100
                }
            }
            if (!frames->Rewind()) {
                break;
            }
        }
    });
}

// A reader of an open file descriptor, as plain decode and as a decode job runs it.
template <class Reader>
void FuzzDescriptorReader(const std::uint8_t* data, std::size_t size, Reader reader) {
    WithDescriptor(data, size, [&](int descriptor) {
        CheckBitmap(reader(descriptor, pirela::ReadOptions{}).get());
        CheckedProgress progress;
        const auto bitmap = reader(descriptor, pirela::ReadOptions{progress.Get(), true});
        progress.Check(bitmap.get());
    });
}
