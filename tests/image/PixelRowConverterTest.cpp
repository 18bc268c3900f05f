#include "image/PixelRowConverter.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

// Every width from one pixel up, so that the row's end falls at each place of the four-pixel
// steps; the last row in memory, so that reading past it would leave the allocation.
TEST(PixelRowConverterTest, BlueGreenRedRowsBecomeOpaqueArgbAtEveryWidth) {
    for (int width = 1; width <= 14; ++width) {
        BitmapInfoHeader header;
        header.width = width;
        header.height = -2;
        header.bitCount = 24;
        auto bitmap = Bitmap::Create(header);
        for (std::size_t i = 0; i < bitmap->PixelBytes(); ++i) {
            bitmap->Pixels()[i] = static_cast<std::uint8_t>(i * 29 + 3);
        }
        const PixelRowConverter converter(*bitmap);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        converter.Convert(1, row.data());
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* bgr = bitmap->PictureRow(1) + 3 * x;
            EXPECT_EQ(row[static_cast<std::size_t>(x)],
                      0xFF000000u | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0])
                << "width " << width << ", x " << x;
        }
    }
}

} // namespace
} // namespace pirela
