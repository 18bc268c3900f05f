#pragma once

#include "image/Bitmap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// Hands the fuzzer's bytes to a reader as a C stream, and checks what comes back: a bitmap
// within the bound whose every pixel byte can be read.
template <class Reader>
int FuzzImageReader(const std::uint8_t* data, std::size_t size, Reader read) {
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    const std::unique_ptr<pirela::Bitmap> bitmap = read(file);
    std::fclose(file);
    if (bitmap) {
        if (bitmap->PixelBytes() > pirela::kMaxPixelBytes) {
            std::abort();
        }
        unsigned sum = 0;
        for (std::size_t i = 0; i < bitmap->PixelBytes(); i += 64) {
            sum += bitmap->Pixels()[i];
        }
        volatile unsigned sink = sum;
        (void)sink;
    }
    return 0;
}
