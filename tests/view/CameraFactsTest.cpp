#include "view/CameraFacts.h"

#include "support/CameraFixtures.h"
#include "support/TempDir.h"
#include "view/ExifBlock.h"

#include <gtest/gtest.h>
#include <libexif/exif-data.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace pirela {
namespace {

constexpr ExifByteOrder kOrder = EXIF_BYTE_ORDER_INTEL;

// The block a camera writes, through libexif: the tags in their own directories.
class CameraBlock {
public:
    CameraBlock() : data_(exif_data_new()) { exif_data_set_byte_order(data_, kOrder); }
    ~CameraBlock() { exif_data_unref(data_); }
    CameraBlock(const CameraBlock&) = delete;
    CameraBlock& operator=(const CameraBlock&) = delete;

    CameraBlock& Text(ExifIfd ifd, ExifTag tag, const std::string& text) {
        std::vector<unsigned char> bytes(text.begin(), text.end());
        bytes.push_back(0);
        return Put(ifd, tag, EXIF_FORMAT_ASCII, bytes, static_cast<unsigned>(bytes.size()));
    }
    CameraBlock& Rational(ExifIfd ifd, ExifTag tag, unsigned numerator, unsigned denominator) {
        std::vector<unsigned char> bytes(8);
        exif_set_rational(bytes.data(), kOrder, {numerator, denominator});
        return Put(ifd, tag, EXIF_FORMAT_RATIONAL, bytes, 1);
    }
    CameraBlock& Short(ExifIfd ifd, ExifTag tag, unsigned value) {
        std::vector<unsigned char> bytes(2);
        exif_set_short(bytes.data(), kOrder, static_cast<ExifShort>(value));
        return Put(ifd, tag, EXIF_FORMAT_SHORT, bytes, 1);
    }

    std::vector<std::uint8_t> Bytes() const {
        unsigned char* bytes = nullptr;
        unsigned int size = 0;
        exif_data_save_data(data_, &bytes, &size);
        std::vector<std::uint8_t> block(bytes, bytes + size);
        std::free(bytes);
        return block;
    }

private:
    CameraBlock& Put(ExifIfd ifd, ExifTag tag, ExifFormat format,
                     const std::vector<unsigned char>& bytes, unsigned components) {
        ExifEntry* entry = exif_entry_new();
        entry->tag = tag;
        entry->format = format;
        entry->components = components;
        entry->size = static_cast<unsigned>(bytes.size());
        entry->data = static_cast<unsigned char*>(std::malloc(bytes.size()));
        std::memcpy(entry->data, bytes.data(), bytes.size());
        exif_content_add_entry(data_->ifd[ifd], entry);
        exif_entry_unref(entry);
        return *this;
    }

    ExifData* data_;
};

std::vector<std::uint8_t> NikonBlock() {
    CameraBlock block;
    block.Text(EXIF_IFD_0, EXIF_TAG_MAKE, "NIKON CORPORATION")
        .Text(EXIF_IFD_0, EXIF_TAG_MODEL, "NIKON D750 ")
        .Short(EXIF_IFD_0, EXIF_TAG_ORIENTATION, 6)
        .Text(EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, "2024:03:05 07:08:09")
        .Text(EXIF_IFD_EXIF, EXIF_TAG_LENS_MODEL, "AF-S NIKKOR 50mm f/1.8G")
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, 10, 2500)
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_FNUMBER, 28, 10)
        .Short(EXIF_IFD_EXIF, EXIF_TAG_ISO_SPEED_RATINGS, 400)
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH, 50, 1)
        .Short(EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH_IN_35MM_FILM, 75);
    return block.Bytes();
}

const CameraFacts kNikon{"2024年3月5日 07:08:09", "NIKON D750", "AF-S NIKKOR 50mm f/1.8G",
                         "1/250 秒", "f/2.8", "ISO 400", "50 mm (35 mm 換算 75 mm)",
                         "時計回りに 90 度回転"};

TEST(CameraFactsTest, EachFactInTheWordsOfTheDialog) {
    const std::vector<std::uint8_t> block = NikonBlock();
    EXPECT_EQ(CameraFactsOf(block.data(), block.size()), kNikon);
    EXPECT_EQ(CameraLine(kNikon), "1/250 秒  f/2.8  ISO 400  50 mm");

    CameraBlock other;
    other.Text(EXIF_IFD_0, EXIF_TAG_MAKE, "Canon")
        .Text(EXIF_IFD_0, EXIF_TAG_MODEL, "EOS R5")
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, 8, 10)
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_FNUMBER, 8, 1)
        .Rational(EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH, 35, 1)
        .Short(EXIF_IFD_EXIF, EXIF_TAG_FOCAL_LENGTH_IN_35MM_FILM, 35);
    const std::vector<std::uint8_t> bytes = other.Bytes();
    const CameraFacts facts = CameraFactsOf(bytes.data(), bytes.size());
    EXPECT_EQ(facts.camera, "Canon EOS R5");
    EXPECT_EQ(facts.exposure, "0.8 秒");
    EXPECT_EQ(facts.fNumber, "f/8");
    EXPECT_EQ(facts.focalLength, "35 mm"); // a full-frame camera's equivalent says nothing new
    EXPECT_EQ(facts.taken, "");
    EXPECT_EQ(CameraLine(facts), "0.8 秒  f/8  35 mm");
}

TEST(CameraFactsTest, DamagedOrForeignBlocksGiveNothing) {
    std::vector<std::uint8_t> block = NikonBlock();
    for (std::size_t size = 0; size < block.size(); size += 7) {
        CameraFactsOf(block.data(), size); // whatever it finds, it stays inside the block
    }
    const std::string foreign = "not an EXIF block at all";
    EXPECT_FALSE(CameraFactsOf(reinterpret_cast<const std::uint8_t*>(foreign.data()),
                               foreign.size())
                     .Any());
    EXPECT_FALSE(CameraFactsOf(nullptr, 0).Any());
}

TEST(CameraFactsTest, TheBlockIsFoundInEachKindOfFile) {
    test::TempDir dir;
    const test::Samples samples = test::PhotoLike(64, 48, 3);
    test::WriteJpeg(dir / "nikon.jpg", samples, false, 90, NikonBlock());
    EXPECT_EQ(ReadCameraFacts((dir / "nikon.jpg").string()), kNikon);

    test::WriteDng(dir / "raw.dng", "", 8); // a TIFF header at the start of the file
    EXPECT_EQ(ReadCameraFacts((dir / "raw.dng").string()).orientation, "反時計回りに 90 度回転");

    test::HeifOptions heif;
    heif.exifOrientation = 3;
    test::WriteHeif(dir / "phone.heic", samples, heif);
    EXPECT_EQ(ReadCameraFacts((dir / "phone.heic").string()).orientation, "180 度回転");

    test::WritePng(dir / "plain.png", test::PngFromSamples(samples));
    EXPECT_FALSE(ReadCameraFacts((dir / "plain.png").string()).Any());
    EXPECT_FALSE(ReadCameraFacts((dir / "gone.jpg").string()).Any());
    EXPECT_FALSE(ReadCameraFacts(dir.Path().string()).Any()); // a folder is never read
}

} // namespace
} // namespace pirela
