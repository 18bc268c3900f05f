#pragma once

#include <benchmark/benchmark.h>

// jpeglib.h needs size_t and FILE declared before it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace pirela::bench {

// libjpeg-turbo's decode at its best, as the references of the image benchmarks take it: the
// header read from the source already set, then full-size blue-green-red rows, 16 a call,
// straight into one buffer.
inline void DecodeJpegIntoBuffer(jpeg_decompress_struct& info) {
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    const std::size_t stride = (std::size_t(info.output_width) * 3 + 3) / 4 * 4;
    auto* pixels = static_cast<std::uint8_t*>(std::malloc(stride * info.output_height));
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height) {
        const JDIMENSION n = std::min<JDIMENSION>(16, info.output_height - info.output_scanline);
        for (JDIMENSION i = 0; i < n; ++i) {
            rows[i] = pixels + stride * (info.output_scanline + i);
        }
        jpeg_read_scanlines(&info, rows, n);
    }
    jpeg_finish_decompress(&info);
    benchmark::DoNotOptimize(pixels);
    std::free(pixels);
}

} // namespace pirela::bench
