#include "folder/DateTaken.h"

#include "folder/DateTakenCache.h"
#include "support/CameraFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace pirela {
namespace {

// 2024-05-01 10:00:00 at +09:00 is 01:00:00 in universal time.
constexpr std::int64_t kTokyoMorning = 1714525200;

std::vector<std::uint8_t> Tiff(bool bigEndian = false, const std::string& offset = "+09:00") {
    std::vector<std::uint8_t> block =
        test::ExifBlock(1, bigEndian, "2024:05:01 10:00:00", offset);
    block.erase(block.begin(), block.begin() + 6); // "Exif\0\0"
    return block;
}

void Append(std::vector<std::uint8_t>& to, std::string_view bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

void AppendBig32(std::vector<std::uint8_t>& to, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        to.push_back(std::uint8_t(value >> shift));
    }
}

// A box of an ISO base media file around the content.
std::vector<std::uint8_t> IsoBox(std::string_view type, const std::vector<std::uint8_t>& content) {
    std::vector<std::uint8_t> box;
    AppendBig32(box, std::uint32_t(8 + content.size()));
    Append(box, type);
    box.insert(box.end(), content.begin(), content.end());
    return box;
}

std::optional<std::int64_t> DateOf(const std::vector<std::uint8_t>& bytes) {
    return DateTakenOfBytes(bytes.data(), bytes.size());
}

std::optional<std::int64_t> DateOfFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    const auto date = ReadDateTaken(fd);
    ::close(fd);
    return date;
}

TEST(DateTakenTest, TimesAreReadWithTheirOffsetOrAsLocalTime) {
    EXPECT_EQ(ExifTimeToSeconds("2024:05:01 10:00:00", "+09:00"), kTokyoMorning);
    EXPECT_EQ(ExifTimeToSeconds("2024:05:01 10:00:00", "-02:30"), kTokyoMorning + 11.5 * 3600);
    // Without an offset: this computer's time, whatever its zone, so an hour apart stays one.
    const auto nine = ExifTimeToSeconds("2024:05:01 09:00:00", "");
    const auto ten = ExifTimeToSeconds("2024:05:01 10:00:00", "   ");
    ASSERT_TRUE(nine && ten);
    EXPECT_EQ(*ten - *nine, 3600);
    for (const char* none : {"0000:00:00 00:00:00", "2024:13:01 10:00:00", "2024:05:01 24:00:00",
                             "2024:05:01", "    :  :     :  :  ", ""}) {
        EXPECT_EQ(ExifTimeToSeconds(none, "+09:00"), std::nullopt) << none;
    }
}

// Each format keeps its EXIF block in a place of its own.
TEST(DateTakenTest, TheDateIsFoundInEveryFormatThatCarriesIt) {
    const test::TempDir dir;
    const auto samples = test::PhotoLike(8, 8, 3);
    test::WriteJpeg(dir / "a.jpg", samples, false, 90, test::ExifBlock(1, false, "2024:05:01 10:00:00", "+09:00"));
    EXPECT_EQ(DateOfFile(dir / "a.jpg"), kTokyoMorning);
    test::WriteJpeg(dir / "plain.jpg", samples, false);
    EXPECT_EQ(DateOfFile(dir / "plain.jpg"), std::nullopt);

    // A TIFF-based raw file is itself the block, in either byte order.
    EXPECT_EQ(DateOf(Tiff(false)), kTokyoMorning);
    EXPECT_EQ(DateOf(Tiff(true)), kTokyoMorning);

    std::vector<std::uint8_t> png;
    Append(png, "\x89PNG\r\n\x1A\n");
    png.insert(png.end(), {0, 0, 0, 0});
    Append(png, "IHDR");
    png.insert(png.end(), {0, 0, 0, 0}); // its check sum
    const std::vector<std::uint8_t> tiff = Tiff();
    AppendBig32(png, std::uint32_t(tiff.size()));
    Append(png, "eXIf");
    png.insert(png.end(), tiff.begin(), tiff.end());
    EXPECT_EQ(DateOf(png), kTokyoMorning);

    std::vector<std::uint8_t> webp;
    Append(webp, "RIFF");
    webp.insert(webp.end(), {0, 0, 0, 0});
    Append(webp, "WEBPEXIF");
    const std::uint32_t size = std::uint32_t(tiff.size() + 6);
    webp.insert(webp.end(), {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16), 0});
    Append(webp, std::string_view("Exif\0\0", 6));
    webp.insert(webp.end(), tiff.begin(), tiff.end());
    EXPECT_EQ(DateOf(webp), kTokyoMorning);

    // A CR3: Canon's box in the movie box holds the EXIF directory as a TIFF of its own.
    std::vector<std::uint8_t> canon{0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                                    0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};
    const auto cmt2 = IsoBox("CMT2", tiff);
    canon.insert(canon.end(), cmt2.begin(), cmt2.end());
    std::vector<std::uint8_t> cr3 = IsoBox("ftyp", {'c', 'r', 'x', ' ', 0, 0, 0, 1});
    const auto movie = IsoBox("moov", IsoBox("uuid", canon));
    cr3.insert(cr3.end(), movie.begin(), movie.end());
    EXPECT_EQ(DateOf(cr3), kTokyoMorning);

    test::HeifOptions heif;
    heif.taken = "2024:05:01 10:00:00";
    test::WriteHeif(dir / "b.heic", test::PhotoLike(64, 64, 3), heif);
    const auto local = ExifTimeToSeconds("2024:05:01 10:00:00", "");
    EXPECT_EQ(DateOfFile(dir / "b.heic"), local);
    test::WriteHeif(dir / "c.heic", test::PhotoLike(64, 64, 3));
    EXPECT_EQ(DateOfFile(dir / "c.heic"), std::nullopt);
}

TEST(DateTakenTest, DamagedBlocksGiveNoDate) {
    // Cut short: no date, or the date without its offset (cut off), or the whole.
    std::vector<std::uint8_t> tiff = Tiff();
    const auto local = ExifTimeToSeconds("2024:05:01 10:00:00", "");
    for (std::size_t cut = 0; cut < tiff.size(); ++cut) {
        const std::vector<std::uint8_t> part(tiff.begin(), tiff.begin() + std::ptrdiff_t(cut));
        const auto date = DateOf(part);
        EXPECT_TRUE(!date || *date == kTokyoMorning || date == local) << cut;
    }
    // The EXIF directory's offset made to point past the end, or at itself.
    for (std::uint8_t& byte : tiff) {
        const std::uint8_t was = byte;
        byte = 0xFF;
        (void)DateOf(tiff);
        byte = was;
    }
}

TEST(DateTakenTest, TheCacheKnowsAFileByItsIdentityAndFallsBackOnItsTime) {
    const test::TempDir dir;
    test::WriteJpeg(dir / "a.jpg", test::PhotoLike(8, 8, 3), false, 90,
                    test::ExifBlock(1, false, "2024:05:01 10:00:00", "+09:00"));
    test::WriteJpeg(dir / "plain.jpg", test::PhotoLike(8, 8, 3), false);
    ::utimensat(AT_FDCWD, (dir / "plain.jpg").c_str(),
                std::array<timespec, 2>{timespec{0, UTIME_OMIT}, timespec{1000, 0}}.data(), 0);
    DateTakenCache cache;
    EXPECT_EQ(cache.DateOf((dir / "a.jpg").string()), kTokyoMorning);
    EXPECT_EQ(cache.DateOf((dir / "plain.jpg").string()), 1000);
    EXPECT_EQ(cache.DateOf((dir / "gone.jpg").string()), std::nullopt);
    EXPECT_EQ(cache.Size(), 2u);

    // Renamed, it is known; rewritten in its place with another date, it is read again.
    std::filesystem::rename(dir / "a.jpg", dir / "b.jpg");
    EXPECT_EQ(cache.DateOf((dir / "b.jpg").string()), kTokyoMorning);
    EXPECT_EQ(cache.Size(), 2u);
    test::WriteJpeg(dir / "b.jpg", test::PhotoLike(8, 8, 3), false, 90,
                    test::ExifBlock(1, false, "2024:05:01 11:00:00", "+09:00"));
    EXPECT_EQ(cache.DateOf((dir / "b.jpg").string()), kTokyoMorning + 3600);
}

} // namespace
} // namespace pirela
