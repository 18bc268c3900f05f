#include "image/BmpReader.h"

#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <string>
#include <vector>

namespace pirela {
namespace {

void Put16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::int64_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

// The parts of a bitmap file, put together in place.
struct BmpFile {
    int width = 3;
    int height = 2;
    int bitCount = 24;
    int compression = 0;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
    int headerSize = 40;
    std::string masks;       // after a 40-byte header, or inside a larger one
    std::string colourTable; // 4 bytes an entry (3 for the core header)
    std::string pixels;

    std::string Bytes() const {
        std::string header;
        if (headerSize == 12) {
            Put32(header, 12);
            Put16(header, width);
            Put16(header, height);
            Put16(header, 1);
            Put16(header, bitCount);
        } else {
            Put32(header, headerSize);
            Put32(header, width);
            Put32(header, height);
            Put16(header, 1);
            Put16(header, bitCount);
            Put32(header, compression);
            Put32(header, sizeImage);
            Put32(header, 2835);
            Put32(header, 2835);
            Put32(header, clrUsed);
            Put32(header, 0);
            if (headerSize > 40) {
                std::string rest = masks;
                rest.resize(static_cast<std::size_t>(headerSize - 40), '\0');
                header += rest;
            } else {
                header += masks;
            }
        }
        const std::string block = header + colourTable;
        std::string file = "BM";
        Put32(file, 14 + static_cast<std::int64_t>(block.size()) + static_cast<std::int64_t>(pixels.size()));
        Put32(file, 0);
        Put32(file, 14 + static_cast<std::int64_t>(block.size()));
        return file + block + pixels;
    }
};

class BmpReaderTest : public ::testing::Test {
protected:
    std::unique_ptr<Bitmap> Read(const std::string& bytes) {
        const auto file = dir_ / "image.bmp";
        test::WriteBytes(file, bytes);
        return ReadBmpFile(file);
    }

    static std::string Pixels(std::size_t count) {
        std::string pixels(count, '\0');
        for (std::size_t i = 0; i < count; ++i) {
            pixels[i] = static_cast<char>(i * 7 + 1);
        }
        return pixels;
    }

    test::TempDir dir_;
};

TEST_F(BmpReaderTest, AnUncompressedFileWithoutImageSizeLoadsAsItStands) {
    BmpFile bmp;
    bmp.pixels = Pixels(24); // 3 x 2 at 24 bits: 12 bytes a row
    const auto bitmap = Read(bmp.Bytes() + "extra bytes are ignored");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 3);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->Stride(), 12u);
    EXPECT_FALSE(bitmap->IsTopDown());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bitmap->Pixels()), 24), bmp.pixels);
}

TEST_F(BmpReaderTest, AGapBeforeThePixelsIsReadPast) {
    BmpFile bmp;
    bmp.pixels = Pixels(24);
    std::string bytes = bmp.Bytes();
    const std::size_t pixelsAt = bytes.size() - 24;
    bytes.insert(pixelsAt, std::string(10000, '\x55'));
    bytes[10] = static_cast<char>((pixelsAt + 10000) & 0xFF);
    bytes[11] = static_cast<char>((pixelsAt + 10000) >> 8);
    const auto bitmap = Read(bytes);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bitmap->Pixels()), 24), bmp.pixels);
}

TEST_F(BmpReaderTest, ShortOrForeignFilesAreRefused) {
    BmpFile bmp;
    bmp.pixels = Pixels(24);
    const std::string whole = bmp.Bytes();
    EXPECT_EQ(Read(whole.substr(0, whole.size() - 1)), nullptr); // one pixel byte short
    EXPECT_EQ(Read(whole.substr(0, 14)), nullptr);                // the file header alone
    EXPECT_EQ(Read("MB" + whole.substr(2)), nullptr);
    EXPECT_EQ(Read(""), nullptr);
    EXPECT_EQ(ReadBmpFile(dir_ / "missing.bmp"), nullptr);
}

TEST_F(BmpReaderTest, ThePaletteIsExactlyTheFilesOwn) {
    BmpFile bmp;
    bmp.bitCount = 8;
    bmp.clrUsed = 3;
    bmp.colourTable = std::string("\x01\x02\x03\x00\x04\x05\x06\x00\x07\x08\x09\x00", 12);
    bmp.pixels = Pixels(8); // 4 bytes a row
    const auto bitmap = Read(bmp.Bytes());
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->ColourTable().size(), 3u);
    EXPECT_EQ(bitmap->ColourTable()[2], (RgbQuad{7, 8, 9, 0}));

    BmpFile core;
    core.headerSize = 12;
    core.bitCount = 1;
    core.colourTable = std::string("\x00\x00\x00\xFF\xFF\xFF", 6);
    core.pixels = Pixels(8);
    const auto fromCore = Read(core.Bytes());
    ASSERT_NE(fromCore, nullptr);
    EXPECT_EQ(fromCore->ColourTable()[1], (RgbQuad{255, 255, 255, 0}));
}

TEST_F(BmpReaderTest, BitFieldsKeepTheirMasksAndWithoutImageSizeStayBlack) {
    BmpFile bmp;
    bmp.bitCount = 16;
    bmp.compression = 3;
    bmp.masks = std::string("\x00\xF8\x00\x00\xE0\x07\x00\x00\x1F\x00\x00\x00", 12); // 5-6-5
    bmp.pixels = Pixels(16);
    const auto black = Read(bmp.Bytes());
    ASSERT_NE(black, nullptr);
    EXPECT_TRUE(black->HasColourMasks());
    EXPECT_EQ(black->Masks(), (Bitmap::ColourMasks{0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(black->Pixels()), 16), std::string(16, '\0'));

    bmp.sizeImage = 16;
    const auto read = Read(bmp.Bytes());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read->Pixels()), 16), bmp.pixels);

    BmpFile v5 = bmp; // masks inside a 124-byte header
    v5.headerSize = 124;
    v5.bitCount = 32;
    v5.masks = std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
    v5.sizeImage = 24;
    v5.pixels = Pixels(24);
    const auto fromV5 = Read(v5.Bytes());
    ASSERT_NE(fromV5, nullptr);
    EXPECT_EQ(fromV5->Masks(), (Bitmap::ColourMasks{0xFF0000, 0xFF00, 0xFF}));
}

TEST_F(BmpReaderTest, ATopDownFileKeepsItsRowOrder) {
    BmpFile bmp;
    bmp.height = -2;
    bmp.pixels = Pixels(24);
    const auto bitmap = Read(bmp.Bytes());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(bitmap->IsTopDown());
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(bitmap->PictureRow(0)[0], static_cast<std::uint8_t>(bmp.pixels[0]));
}

TEST_F(BmpReaderTest, InconsistentDescriptionsAreRefused) {
    const auto refused = [this](BmpFile bmp) { return Read(bmp.Bytes()) == nullptr; };
    BmpFile rle;
    rle.bitCount = 8;
    rle.compression = 1;
    rle.colourTable = std::string(1024, '\0');
    rle.pixels = Pixels(8);
    EXPECT_TRUE(refused(rle));

    BmpFile noWidth;
    noWidth.width = 0;
    EXPECT_TRUE(refused(noWidth));
    BmpFile noHeight;
    noHeight.height = 0;
    EXPECT_TRUE(refused(noHeight));
    BmpFile oddDepth;
    oddDepth.bitCount = 2;
    oddDepth.pixels = Pixels(8);
    EXPECT_TRUE(refused(oddDepth));

    BmpFile tableBeyondBlock; // 256 entries promised, two present
    tableBeyondBlock.bitCount = 8;
    tableBeyondBlock.colourTable = std::string(8, '\0');
    tableBeyondBlock.pixels = Pixels(8);
    EXPECT_TRUE(refused(tableBeyondBlock));
    BmpFile tooManyColours = tableBeyondBlock;
    tooManyColours.clrUsed = 300;
    tooManyColours.colourTable = std::string(1200, '\0');
    EXPECT_TRUE(refused(tooManyColours));

    BmpFile masksMissing;
    masksMissing.bitCount = 32;
    masksMissing.compression = 3;
    EXPECT_TRUE(refused(masksMissing));

    BmpFile unknownHeader;
    unknownHeader.headerSize = 64;
    EXPECT_TRUE(refused(unknownHeader));
}

TEST_F(BmpReaderTest, HugeOrLyingSizesNeverOverrunOrExhaustMemory) {
    BmpFile huge; // 1.2 GB of pixels promised by a 60-byte file
    huge.width = 20000;
    huge.height = 20000;
    EXPECT_EQ(Read(huge.Bytes()), nullptr);

    BmpFile overflow;
    overflow.width = 0x7FFFFFFF;
    overflow.height = 0x7FFFFFFF;
    overflow.bitCount = 32;
    EXPECT_EQ(Read(overflow.Bytes()), nullptr);

    std::string farOffset = BmpFile{}.Bytes(); // the pixels said to start 4 GB in
    farOffset[10] = farOffset[11] = farOffset[12] = farOffset[13] = '\xFF';
    EXPECT_EQ(Read(farOffset), nullptr);

    // Through a stream whose length cannot be asked, the far offset is read towards, not
    // allocated: the stream simply ends first.
    std::FILE* stream = ::fmemopen(farOffset.data(), farOffset.size(), "rb");
    EXPECT_EQ(ReadBmpStream(stream), nullptr);
    std::fclose(stream);

    // A small image-size field does not make a short file whole: it must hold every pixel its
    // header declares, through a stream as much as from a file.
    BmpFile tinyClaim;
    tinyClaim.width = 16384;
    tinyClaim.height = 16384;
    tinyClaim.bitCount = 8;
    tinyClaim.sizeImage = 4;
    tinyClaim.colourTable = std::string(1024, '\0');
    tinyClaim.pixels = Pixels(4);
    EXPECT_EQ(Read(tinyClaim.Bytes()), nullptr);
    std::string tiny = tinyClaim.Bytes();
    std::FILE* tinyStream = ::fmemopen(tiny.data(), tiny.size(), "rb");
    EXPECT_EQ(ReadBmpStream(tinyStream), nullptr);
    std::fclose(tinyStream);

    BmpFile noPixelBitFields; // masks, image size 0, and not one pixel byte behind them
    noPixelBitFields.width = 16384;
    noPixelBitFields.height = 16384;
    noPixelBitFields.bitCount = 32;
    noPixelBitFields.compression = 3;
    noPixelBitFields.masks = std::string(12, '\xFF');
    EXPECT_EQ(Read(noPixelBitFields.Bytes()), nullptr);

    BmpFile lyingSize; // says 1000 bytes, the bitmap holds 24: only 24 are read
    lyingSize.sizeImage = 1000;
    lyingSize.pixels = Pixels(1000);
    const auto bitmap = Read(lyingSize.Bytes());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->PixelBytes(), 24u);
}

} // namespace
} // namespace pirela
