#include "ui/BitmapSurface.h"

#include <QtTest>

#include <cstring>

using namespace pirela;

namespace {

std::unique_ptr<Bitmap> Make(int width, int height, int bitCount, std::vector<RgbQuad> table = {},
                             Bitmap::ColourMasks masks = {}, bool bitFields = false) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    header.compression = bitFields ? kBiBitfields : kBiRgb;
    return Bitmap::Create(header, std::move(table), masks);
}

} // namespace

class BitmapSurfaceTest : public QObject {
    Q_OBJECT
private slots:
    void indexedPixelsTakeTheirTableColours() {
        // 1 bit: the leftmost pixel in the high bit; a 4-entry table at 2 bits.
        auto mono = Make(8, 1, 1, {{0, 0, 0, 0}, {255, 255, 255, 0}});
        mono->PictureRow(0)[0] = 0x81;
        BitmapSurface surface;
        surface.Reset(mono.get());
        const QImage& image = surface.Whole();
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(1, 0), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(7, 0), qRgb(255, 255, 255));

        auto twoBit = Make(4, 1, 2, {{0, 0, 0, 0}, {85, 85, 85, 0}, {170, 170, 170, 0}, {0, 0, 255, 0}});
        twoBit->PictureRow(0)[0] = 0x1B; // 0, 1, 2, 3
        surface.Reset(twoBit.get());
        QCOMPARE(surface.Whole().pixel(1, 0), qRgb(85, 85, 85));
        QCOMPARE(surface.Whole().pixel(3, 0), qRgb(255, 0, 0));

        // An index the table does not reach is black.
        auto shortTable = Make(2, 1, 8, {{10, 20, 30, 0}});
        shortTable->PictureRow(0)[0] = 0;
        shortTable->PictureRow(0)[1] = 200;
        surface.Reset(shortTable.get());
        QCOMPARE(surface.Whole().pixel(0, 0), qRgb(30, 20, 10));
        QCOMPARE(surface.Whole().pixel(1, 0), qRgb(0, 0, 0));
    }

    void maskedPixelsSpreadTheirChannelsToEightBits() {
        auto rgb565 = Make(2, 1, 16, {}, {0xF800, 0x07E0, 0x001F}, true);
        const std::uint16_t pixels[] = {0xF800, 0x07FF};
        std::memcpy(rgb565->PictureRow(0), pixels, 4);
        BitmapSurface surface;
        surface.Reset(rgb565.get());
        QCOMPARE(surface.Whole().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(surface.Whole().pixel(1, 0), qRgb(0, 255, 255));

        auto rgb555 = Make(1, 1, 16); // no masks: 5-5-5
        const std::uint16_t green = 0x03E0;
        std::memcpy(rgb555->PictureRow(0), &green, 2);
        surface.Reset(rgb555.get());
        QCOMPARE(surface.Whole().pixel(0, 0), qRgb(0, 255, 0));

        auto rgbx = Make(1, 1, 32);
        const std::uint8_t bgrx[] = {1, 2, 3, 0}; // the fourth byte is not alpha
        std::memcpy(rgbx->PictureRow(0), bgrx, 4);
        surface.Reset(rgbx.get());
        QCOMPARE(surface.Whole().pixel(0, 0), qRgb(3, 2, 1));
    }

    void alphaIsPremultipliedAsQtRoundsIt() {
        for (int alpha = 0; alpha < 256; ++alpha) {
            for (int value = 0; value < 256; ++value) {
                const QRgb pixel = qRgba(value, 255 - value, value / 3, alpha);
                if (Premultiply(pixel) != qPremultiply(pixel)) {
                    QFAIL(qPrintable(QString::number(pixel, 16)));
                }
            }
        }
    }

    void tilesConvertedOnDemandMatchTheWhole() {
        std::vector<RgbQuad> greys(16);
        for (std::size_t i = 0; i < greys.size(); ++i) {
            const auto level = static_cast<std::uint8_t>(i * 17);
            greys[i] = {level, level, level, 0};
        }
        // Wider than two tiles; a 4-bit tile may start in the middle of a byte's pixels.
        for (const int bits : {4, 24, 32}) {
            auto photo = Make(1100, 300, bits, bits == 4 ? greys : std::vector<RgbQuad>{});
            for (std::size_t i = 0; i < photo->PixelBytes(); ++i) {
                photo->Pixels()[i] = static_cast<std::uint8_t>(i * 31 + 7);
            }
            BitmapSurface tiled;
            tiled.Reset(photo.get());
            const QRect area(500, 100, 30, 30); // across the edge of the first two tiles
            const QImage part = tiled.Area(area).copy(area);
            BitmapSurface whole;
            whole.Reset(photo.get());
            QCOMPARE(part, whole.Whole().copy(area));
            if (bits == 24) {
                const std::uint8_t* top = photo->PictureRow(0);
                QCOMPARE(whole.Whole().pixel(1, 0), qRgb(top[5], top[4], top[3]));
            }
        }
    }
};

QTEST_MAIN(BitmapSurfaceTest)
#include "BitmapSurfaceTest.moc"
